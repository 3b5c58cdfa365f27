#include "engine_binding.h"

#include "command_ids.h"
#include "command_line.h"
#include "hotkeys.h"
#include "lens_clamp.h"
#include "level_display.h"
#include "path_join.h"
#include "program_folder.h"
#include "program_state.h"
#include "qxmagnifier.h"
#include "scoped_handles.h"
#include "tray.h"

namespace {

// The engine as the program holds it: one for the life of the program. The engine starts its
// callback routine with nothing but a code, so that routine finds it here; every step below it is
// handed it.
struct EngineBinding {
    EngineBinding() { InitializeCriticalSection(&lock); }
    ~EngineBinding() { DeleteCriticalSection(&lock); }
    EngineBinding(const EngineBinding&) = delete;
    EngineBinding& operator=(const EngineBinding&) = delete;

    // Serialises starting and stopping the engine; its holder may take it again.
    CRITICAL_SECTION lock;
    HMODULE module = nullptr;      // the loaded library, empty while the lens is off
    HANDLE handle = nullptr;       // the engine's handle; nonzero while the lens is on
    HWND callbackWindow = nullptr; // the window of the last start: the main window
    LensClamp clamp;               // the clamp of the last start
    QxCreateMagnifierFn create = nullptr;
    QxCloseMagnifierFn close = nullptr;
    QxSetBrightnessMagnifierFn brightness = nullptr;
    // Counts every change of the lens state; a restart after a lost surface goes ahead only when
    // nothing else switched the lens meanwhile.
    unsigned generation = 0;
};

EngineBinding binding;

void ShowNotFound(const char* what) {
    // Shown with the lock released: while the box is open, the program's commands and the
    // engine's reports go on.
    if (what != nullptr) {
        MessageBoxA(nullptr, what, "Is not found", MB_OK);
    }
}

bool OnMainThread(HWND window) {
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

void SetAdjustmentHotKeys(HWND window, bool registered) {
    if (!OnMainThread(window)) {
        PostMessageA(window, kMatchHotKeysMessage, 0, 0);
    } else if (registered) {
        RegisterAdjustmentHotKeys(window);
    } else {
        UnregisterAdjustmentHotKeys(window);
    }
}

void ForgetEngine(EngineBinding& engine) {
    FreeLibrary(engine.module);
    engine.module = nullptr;
    engine.create = nullptr;
    engine.close = nullptr;
    engine.brightness = nullptr;
}

DWORD WINAPI EngineCallbackRoutine(LPVOID code);

// A loaded engine shows the options as they are now; an engine without options shows the lens as
// it always did. Call with the lock held.
void HandOptions(const EngineBinding& engine) {
    const auto setOptions =
        BindProc<QxSetOptionsMagnifierFn>(engine.module, "qxSetOptionsMagnifier");
    if (setOptions != nullptr) {
        setOptions(&programOptions.engine);
    }
}

// Loads the library, binds its three functions, registers hot keys 1 to 10 for `window`, clamps
// a lens larger than the screen and starts the engine. Returns its handle, or 0; when the library
// or a function is missing, `missing` names it for the "Is not found" box, which the caller
// shows once it has released the lock. A clamp is undone at once when the engine does not start.
// Call with the lock held.
HANDLE StartEngine(EngineBinding& engine, HWND window, const char** missing) {
    engine.clamp = LensClamp{};
    engine.callbackWindow = window;
    *missing = nullptr;

    char path[kPathCapacity];
    engine.module =
        ProgramFilePath(path, QX_ENGINE_LIBRARY) ? LoadLibraryExA(path, nullptr, 0) : nullptr;
    if (engine.module == nullptr) {
        *missing = QX_ENGINE_LIBRARY;
        return nullptr;
    }
    engine.create = BindProc<QxCreateMagnifierFn>(engine.module, "qxCreateMagnifier");
    engine.close = BindProc<QxCloseMagnifierFn>(engine.module, "qxCloseMagnifier");
    engine.brightness =
        BindProc<QxSetBrightnessMagnifierFn>(engine.module, "qxSetBrightnessMagnifier");
    if (engine.create == nullptr) {
        *missing = "qxCreateMagnifier";
    } else if (engine.close == nullptr) {
        *missing = "qxCloseMagnifier";
    } else if (engine.brightness == nullptr) {
        *missing = "qxSetBrightnessMagnifier";
    }
    if (*missing != nullptr) {
        ForgetEngine(engine);
        return nullptr;
    }

    HandOptions(engine);
    SetAdjustmentHotKeys(window, true);
    ClampLensToScreen(&settings, &lensSizes, &engine.clamp,
                      static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN)),
                      static_cast<uint32_t>(GetSystemMetrics(SM_CYSCREEN)));
    HANDLE handle = engine.create(&settings.engine, EngineCallbackRoutine);
    if (handle == nullptr) {
        // The lens is off: the record takes its own size back now, not at a later stop, which
        // would put it over a size saved meanwhile.
        UndoLensClamp(&settings, &lensSizes, engine.clamp);
        engine.clamp = LensClamp{};
    }
    return handle;
}

// Under the lock: when the library is loaded, shows icon "M2", gives up hot keys 1 to 10, closes
// the engine (waiting for its thread), releases the library, undoes the clamp and shows icon "M"
// again. Returns the close function's result, or 1.
int StopEngine(EngineBinding& engine, HANDLE handle) {
    EngineLockHold hold;
    int result = 1;
    if (engine.module != nullptr) {
        SetTrayIcon(engine.callbackWindow, 2);
        SetAdjustmentHotKeys(engine.callbackWindow, false);
        if (engine.close != nullptr) {
            result = engine.close(handle);
        }
        ForgetEngine(engine);
        UndoLensClamp(&settings, &lensSizes, engine.clamp);
        ForgetLevel();
        SetTrayIcon(engine.callbackWindow, 0);
    }
    return result;
}

// A library left loaded by a start whose engine did not come up is released before a new load.
// Returns what the start could not find, or null.
const char* StartUnlessOn(EngineBinding& engine, HWND window) {
    if (engine.handle != nullptr) {
        return nullptr;
    }
    if (engine.module != nullptr) {
        StopEngine(engine, nullptr);
    }
    const char* missing = nullptr;
    engine.handle = StartEngine(engine, window, &missing);
    ++engine.generation;
    return missing;
}

void StopIfOn(EngineBinding& engine) {
    if (engine.handle == nullptr) {
        return;
    }
    StopEngine(engine, engine.handle);
    engine.handle = nullptr;
    ++engine.generation;
}

// The desktop itself: the desktop window, the shell's window of desktop icons, and the window
// the shell puts behind them for the wallpaper. It covers the screen but is no full-screen program.
bool IsDesktop(HWND window) {
    if (window == GetDesktopWindow() || window == GetShellWindow()) {
        return true;
    }
    char className[16] = {};
    GetClassNameA(window, className, sizeof(className));
    return lstrcmpA(className, "WorkerW") == 0 || lstrcmpA(className, "Progman") == 0;
}

bool FullScreenWindowInFront() {
    RECT r = {};
    HWND front = GetForegroundWindow();
    if (front == nullptr || IsDesktop(front) || !GetWindowRect(front, &r)) {
        return false;
    }
    return r.left <= 0 && r.top <= 0 && r.right >= GetSystemMetrics(SM_CXSCREEN) &&
           r.bottom >= GetSystemMetrics(SM_CYSCREEN);
}

// Code 2: the engine ended because its display surface was lost. It is started again once the
// main thread has seen its next message, unless a full-screen window is in front.
void RestartAfterLostSurface(EngineBinding& engine) {
    unsigned generation;
    HWND window;
    {
        EngineLockHold hold;
        if (engine.handle == nullptr) {
            return;
        }
        StopIfOn(engine);
        generation = engine.generation;
        window = engine.callbackWindow;
    }
    if (FullScreenWindowInFront() || window == nullptr) {
        return;
    }
    MoveWindow(window, GetSystemMetrics(SM_CXSCREEN) / 2 - 81,
               GetSystemMetrics(SM_CYSCREEN) / 2 - 145, 162, 90, TRUE);
    SendMessageA(window, WM_COMMAND, cmdYield, 0);
    ShowWindow(window, SW_HIDE);

    const char* missing = nullptr;
    {
        EngineLockHold hold;
        if (engine.generation == generation) {
            missing = StartUnlessOn(engine, window);
        }
    }
    ShowNotFound(missing);
}

// Code 4: the lens is up; a brightness below neutral is raised to exactly 1000.
void RaiseBrightnessFloor(EngineBinding& engine) {
    EngineLockHold hold;
    const QxSetBrightnessMagnifierFn engineBrightness = engine.brightness;
    if (engine.handle == nullptr || engineBrightness == nullptr) {
        return;
    }
    const int current = engineBrightness(0, 0);
    if (current >= 0 && current < kBrightnessNeutral) {
        engineBrightness(1, kBrightnessNeutral - current);
    }
}

// The notification routine (an EngineCallback) handed to the engine, run on a new thread for
// every report.
DWORD WINAPI EngineCallbackRoutine(LPVOID code) {
    switch (static_cast<int>(reinterpret_cast<INT_PTR>(code))) {
    case kNotifySetupFailed:
    case kNotifyPresentFailed: {
        EngineLockHold hold;
        StopIfOn(binding);
        break;
    }
    case kNotifySurfaceLost:
        RestartAfterLostSurface(binding);
        break;
    case kNotifyLensUp:
        RaiseBrightnessFloor(binding);
        break;
    default:
        break;
    }
    return 0;
}

} // namespace

EngineLockHold::EngineLockHold() {
    EnterCriticalSection(&binding.lock);
}

EngineLockHold::~EngineLockHold() {
    LeaveCriticalSection(&binding.lock);
}

bool LensIsOn() {
    EngineLockHold hold;
    return binding.handle != nullptr;
}

void SwitchLensOn(HWND window) {
    const char* missing = nullptr;
    {
        EngineLockHold hold;
        missing = StartUnlessOn(binding, window);
    }
    ShowNotFound(missing);
}

void SwitchLensOff() {
    EngineLockHold hold;
    StopEngine(binding, binding.handle);
    binding.handle = nullptr;
    ++binding.generation;
}

void ToggleLens(HWND window) {
    const char* missing = nullptr;
    {
        EngineLockHold hold;
        if (binding.handle != nullptr) {
            StopIfOn(binding);
        } else {
            missing = StartUnlessOn(binding, window);
        }
    }
    ShowNotFound(missing);
}

void HandOptionsToEngine() {
    EngineLockHold hold;
    HandOptions(binding);
}

int StepEngineBrightness(int direction, int amount) {
    EngineLockHold hold;
    if (binding.handle != nullptr && binding.brightness != nullptr) {
        return binding.brightness(direction, amount);
    }
    return -1;
}

void MatchAdjustmentHotKeys(HWND window) {
    bool loaded;
    {
        EngineLockHold hold;
        loaded = binding.module != nullptr;
    }
    if (loaded) {
        RegisterAdjustmentHotKeys(window);
    } else {
        UnregisterAdjustmentHotKeys(window);
    }
}
