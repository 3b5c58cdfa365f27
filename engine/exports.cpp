// The four exports the main program binds by name.
#include "qxmagnifier.h"

#include <memory>
#include <new>

#include "brightness.h"
#include "engine_state.h"
#include "instance_mapping.h"
#include "magnifier_thread.h"
#include "option_texts.h"
#include "options_in_force.h"
#include "run_control.h"
#include "scoped_handles.h"

namespace {

// The first main program publishes its window in the 4-byte shared memory "magnifier".
void ReadOwnerWindow() {
    UniqueHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            kInstanceMappingSize, kInstanceMappingName));
    const DWORD error = GetLastError();
    if (!mapping || error != ERROR_ALREADY_EXISTS) {
        return;
    }
    UniqueView view(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (view) {
        Engine().ownerWindow = *static_cast<const HWND*>(view.Get());
    }
}

// Starts a magnifier thread with `start` and a reference on this library, which the thread holds
// until its very end, so that a caller that frees the library without waiting for the thread
// cannot unload the code under it. Null when the thread cannot be started.
HANDLE StartThread(const RunStart& start) {
    HMODULE reference = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&MagnifierThread), &reference)) {
        return nullptr;
    }
    std::unique_ptr<RunStart> handed(new (std::nothrow) RunStart(start));
    HANDLE thread =
        handed ? CreateThread(nullptr, 0, MagnifierThread, handed.get(), 0, nullptr) : nullptr;
    if (thread == nullptr) {
        FreeLibrary(reference);
        return nullptr;
    }
    handed.release(); // the thread deletes it
    return thread;
}

} // namespace

HANDLE WINAPI qxCreateMagnifier(EngineParameters* params, EngineCallback callback) {
    ReadOwnerWindow();
    if (params == nullptr) {
        return nullptr;
    }
    StoreShared(params->captureRequest, 0);
    StoreShared(params->lockPosition, 0);
    Engine().callback = callback;
    if (callback == nullptr) {
        return nullptr;
    }
    BeginRun();
    HANDLE thread = StartThread(RunStart{params, Engine().ownerWindow});
    if (thread == nullptr) {
        UndoBeginRun();
        return nullptr;
    }
    KeepThread(thread);
    return thread;
}

int WINAPI qxCloseMagnifier(HANDLE thread) {
    DrainRuns();
    if (thread != nullptr) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        // Runs begun without a close between them end too, so that the caller may free the
        // library at once.
        WaitForKeptThreads();
    }
    return 1;
}

int WINAPI qxSetBrightnessMagnifier(int direction, int amount) {
    LONG current;
    LONG next;
    do {
        current = Engine().brightness;
        next = SteppedBrightness(current, direction, amount);
    } while (next != current &&
             InterlockedCompareExchange(&Engine().brightness, next, current) != current);
    if (next != current) {
        RedrawSoon(); // a lens with a long frame wait shows the new brightness at once
    }
    return next;
}

int WINAPI qxSetOptionsMagnifier(const EngineOptions* options) {
    if (options != nullptr && options->size < offsetof(EngineOptions, view) + sizeof(uint32_t)) {
        return 0;
    }
    KeepOptionsInForce(options);
    KeepOptionTexts(options);
    RedrawSoon(); // a lens with a long frame wait shows the change at once
    return 1;
}
