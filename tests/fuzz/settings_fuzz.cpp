// The settings loader fed arbitrary file contents under libFuzzer: the bytes of a settings.dat
// of any size and content go through the load rule, the source-size derivation and the clamp to
// the screen that every start of the lens applies. Any result the program could not live with
// stops the run with the input that made it (as do the sanitizers).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "lens_clamp.h"
#include "settings_logic.h"

namespace {

struct Screen {
    uint32_t width;
    uint32_t height;
};
const Screen kScreens[] = {{640, 480}, {1280, 1024}, {3840, 2160}};

bool EvenIn(uint32_t value, uint32_t low, uint32_t high) {
    return value % 2 == 0 && value >= low && value <= high;
}

// What the file said, where the load keeps it: everything but the fields it may mend, and every
// hot-key slot that holds a hot-key control value (the others are emptied).
bool KeptAsStored(const SettingsRecord& stored, const SettingsRecord& loaded) {
    SettingsRecord expected = stored;
    expected.engine.lensWidth = loaded.engine.lensWidth;
    expected.engine.lensHeight = loaded.engine.lensHeight;
    expected.engine.zoom = loaded.engine.zoom;
    expected.engine.displayMode = loaded.engine.displayMode;
    expected.engine.internalCursor = loaded.engine.internalCursor;
    for (uint32_t& slot : expected.hotKeys) {
        slot = (slot >> 16) == 0 ? slot : 0;
    }
    return std::memcmp(&expected, &loaded, sizeof(expected)) == 0;
}

// A mended field keeps a usable stored value (a lens side rounded up to even) and replaces only
// what the program cannot use.
bool MendedFieldsInRange(const SettingsRecord& stored, const SettingsRecord& loaded) {
    const EngineParameters& s = stored.engine;
    const EngineParameters& l = loaded.engine;
    const auto side = [](uint32_t storedSide, uint32_t loadedSide) {
        const bool usable = storedSide >= kMinLensSide && storedSide <= kMaxLensSide;
        return EvenIn(loadedSide, kMinLensSide, kMaxLensSide) &&
               (!usable || loadedSide == storedSide + storedSide % 2);
    };
    const bool zoomUsable = std::isfinite(s.zoom) && s.zoom >= 1.0f && s.zoom <= 10.0f;
    return side(s.lensWidth, l.lensWidth) && side(s.lensHeight, l.lensHeight) &&
           std::isfinite(l.zoom) && l.zoom >= 1.0f && l.zoom <= 10.0f &&
           (!zoomUsable || l.zoom == s.zoom) && l.displayMode <= 2 &&
           (s.displayMode > 2 || l.displayMode == s.displayMode) && l.internalCursor <= 5 &&
           (s.internalCursor > 5 || l.internalCursor == s.internalCursor);
}

bool SourceFitsLens(const SettingsRecord& record, const LensSizes& sizes) {
    const EngineParameters& e = record.engine;
    return EvenIn(sizes.viewWidth, 2, e.lensWidth) && EvenIn(sizes.viewHeight, 2, e.lensHeight) &&
           EvenIn(e.sourceWidth, 2, e.lensWidth) && EvenIn(e.sourceHeight, 2, e.lensHeight);
}

// The first rule the load broke for these bytes, or an empty text.
std::string Problem(const uint8_t* data, size_t size) {
    SettingsRecord loaded;
    std::memset(&loaded, 0xA5, sizeof(loaded));
    const int accepted = AcceptSettingsBytes(data, size, &loaded);
    SettingsRecord stored;
    const bool whole = size == sizeof(stored);
    if (whole) {
        std::memcpy(&stored, data, sizeof(stored));
    }
    const bool valid = whole && std::memcmp(stored.magic, kSettingsMagic, 4) == 0 &&
                       stored.version == kSettingsVersion;
    if (accepted != (valid ? 1 : 0)) {
        return "accepted a file it must refuse, or refused a valid one";
    }
    if (!valid) {
        SettingsRecord defaults;
        SetDefaultSettings(&defaults);
        if (std::memcmp(&defaults, &loaded, sizeof(loaded)) != 0) {
            return "a refused file did not give the defaults";
        }
    } else if (!KeptAsStored(stored, loaded)) {
        return "a field the program can use was not kept as stored";
    } else if (!MendedFieldsInRange(stored, loaded)) {
        return "a mended field is out of range";
    }
    LensSizes sizes;
    DeriveSourceSize(&loaded, &sizes);
    if (!SourceFitsLens(loaded, sizes)) {
        return "the source size does not fit the lens";
    }
    for (const Screen& screen : kScreens) {
        SettingsRecord clamped = loaded;
        LensSizes clampedSizes = sizes;
        LensClamp clamp;
        ClampLensToScreen(&clamped, &clampedSizes, &clamp, screen.width, screen.height);
        if (clamped.engine.lensWidth > screen.width || clamped.engine.lensHeight > screen.height ||
            !SourceFitsLens(clamped, clampedSizes)) {
            return "the lens clamped to the screen is out of range";
        }
        UndoLensClamp(&clamped, &clampedSizes, clamp);
        if (std::memcmp(&clamped, &loaded, sizeof(loaded)) != 0) {
            return "undoing the clamp did not give the loaded record back";
        }
    }
    return std::string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string problem = Problem(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "settings loader: %s (input of %zu bytes)\n", problem.c_str(), size);
        std::abort();
    }
    return 0;
}
