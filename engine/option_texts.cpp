#include "option_texts.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <mutex>

#include "run_control.h"

namespace {

// The texts of the last hand-over, one set per loaded library.
struct KeptTexts {
    SectionLock lock;
    OptionTexts texts;        // under the lock
    volatile LONG serial = 0; // texts.serial, also readable without the lock
};

KeptTexts kept;

template <size_t kCapacity> void CopyText(char (&to)[kCapacity], const char (&from)[kCapacity]) {
    std::memcpy(to, from, kCapacity);
    to[kCapacity - 1] = '\0';
}

bool SameTexts(const OptionTexts& a, const OptionTexts& b) {
    return a.levelTick == b.levelTick && std::strcmp(a.levelText, b.levelText) == 0 &&
           std::strcmp(a.filterName, b.filterName) == 0;
}

} // namespace

void KeepOptionTexts(const EngineOptions* options) {
    OptionTexts handed;
    if (options != nullptr &&
        options->size >= offsetof(EngineOptions, filterName) + sizeof(options->filterName)) {
        handed.levelTick = options->levelTick;
        CopyText(handed.levelText, options->levelText);
        CopyText(handed.filterName, options->filterName);
    }
    std::lock_guard<SectionLock> hold(kept.lock);
    if (SameTexts(handed, kept.texts)) {
        return;
    }
    handed.serial = kept.texts.serial + 1 != 0 ? kept.texts.serial + 1 : 1;
    kept.texts = handed;
    InterlockedExchange(&kept.serial, static_cast<LONG>(handed.serial));
}

bool TakeOptionTexts(OptionTexts* texts) {
    if (static_cast<uint32_t>(InterlockedCompareExchange(&kept.serial, 0, 0)) == texts->serial) {
        return false;
    }
    std::lock_guard<SectionLock> hold(kept.lock);
    *texts = kept.texts;
    return true;
}
