#include "engine_binding.h"

#include "command_ids.h"
#include "command_line.h"
#include "hotkeys.h"
#include "path_join.h"
#include "program_folder.h"
#include "program_state.h"
#include "scoped_handles.h"
#include "tray.h"

HMODULE engineModule = nullptr;
HANDLE engineHandle = nullptr;
HWND callbackWindow = nullptr;
LensClamp lensClamp;

namespace {

QxCreateMagnifierFn engineCreate = nullptr;
QxCloseMagnifierFn engineClose = nullptr;
QxSetBrightnessMagnifierFn engineBrightness = nullptr;

// Counts every change of the lens state; a restart after a lost surface goes ahead only when
// nothing else switched the lens meanwhile.
unsigned engineGeneration = 0;

constexpr int kBrightnessNeutral = 1000;

// The box for what a start could not find, shown with engineLock released: while it is open the
// program's commands and the engine's reports go on.
void ShowNotFound(const char* what) {
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

void ForgetEngineFunctions() {
    engineCreate = nullptr;
    engineClose = nullptr;
    engineBrightness = nullptr;
}

// A library left loaded by a start whose engine did not come up is released before a new load.
// Returns what the start could not find, or null.
const char* StartUnlessOn(HWND window) {
    if (engineHandle != nullptr) {
        return nullptr;
    }
    if (engineModule != nullptr) {
        StopEngine(nullptr);
    }
    const char* missing = nullptr;
    engineHandle = StartEngine(window, &missing);
    ++engineGeneration;
    return missing;
}

void StopIfOn() {
    if (engineHandle == nullptr) {
        return;
    }
    StopEngine(engineHandle);
    engineHandle = nullptr;
    ++engineGeneration;
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
void RestartAfterLostSurface() {
    unsigned generation;
    {
        EngineLockHold hold;
        if (engineHandle == nullptr) {
            return;
        }
        StopIfOn();
        generation = engineGeneration;
    }
    HWND window = callbackWindow;
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
        if (engineGeneration == generation) {
            missing = StartUnlessOn(window);
        }
    }
    ShowNotFound(missing);
}

// Code 4: the lens is up; a brightness below neutral is raised to exactly 1000.
void RaiseBrightnessFloor() {
    EngineLockHold hold;
    if (engineHandle == nullptr || engineBrightness == nullptr) {
        return;
    }
    const int current = engineBrightness(0, 0);
    if (current >= 0 && current < kBrightnessNeutral) {
        engineBrightness(1, kBrightnessNeutral - current);
    }
}

} // namespace

EngineLockHold::EngineLockHold() {
    EnterCriticalSection(&engineLock);
}

EngineLockHold::~EngineLockHold() {
    LeaveCriticalSection(&engineLock);
}

HANDLE StartEngine(HWND window, const char** missing) {
    lensClamp = LensClamp{};
    callbackWindow = window;
    *missing = nullptr;

    char path[kPathCapacity];
    engineModule =
        ProgramFilePath(path, QX_ENGINE_LIBRARY) ? LoadLibraryExA(path, nullptr, 0) : nullptr;
    if (engineModule == nullptr) {
        *missing = QX_ENGINE_LIBRARY;
        return nullptr;
    }
    engineCreate = BindProc<QxCreateMagnifierFn>(engineModule, "qxCreateMagnifier");
    engineClose = BindProc<QxCloseMagnifierFn>(engineModule, "qxCloseMagnifier");
    engineBrightness =
        BindProc<QxSetBrightnessMagnifierFn>(engineModule, "qxSetBrightnessMagnifier");
    if (engineCreate == nullptr) {
        *missing = "qxCreateMagnifier";
    } else if (engineClose == nullptr) {
        *missing = "qxCloseMagnifier";
    } else if (engineBrightness == nullptr) {
        *missing = "qxSetBrightnessMagnifier";
    }
    if (*missing != nullptr) {
        FreeLibrary(engineModule);
        engineModule = nullptr;
        ForgetEngineFunctions();
        return nullptr;
    }

    SetAdjustmentHotKeys(window, true);
    ClampLensToScreen(&settings, &lensSizes, &lensClamp,
                      static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN)),
                      static_cast<uint32_t>(GetSystemMetrics(SM_CYSCREEN)));
    HANDLE handle = engineCreate(&settings.engine, EngineCallbackRoutine);
    if (handle == nullptr) {
        // The lens is off: the record takes its own size back now, not at a later stop, which
        // would put it over a size saved meanwhile.
        UndoLensClamp(&settings, &lensSizes, lensClamp);
        lensClamp = LensClamp{};
    }
    return handle;
}

int StopEngine(HANDLE handle) {
    EngineLockHold hold;
    int result = 1;
    if (engineModule != nullptr) {
        SetTrayIcon(callbackWindow, 2);
        SetAdjustmentHotKeys(callbackWindow, false);
        if (engineClose != nullptr) {
            result = engineClose(handle);
        }
        FreeLibrary(engineModule);
        engineModule = nullptr;
        ForgetEngineFunctions();
        UndoLensClamp(&settings, &lensSizes, lensClamp);
        SetTrayIcon(callbackWindow, 0);
    }
    return result;
}

DWORD WINAPI EngineCallbackRoutine(LPVOID code) {
    switch (static_cast<int>(reinterpret_cast<INT_PTR>(code))) {
    case kNotifySetupFailed:
    case kNotifyPresentFailed: {
        EngineLockHold hold;
        StopIfOn();
        break;
    }
    case kNotifySurfaceLost:
        RestartAfterLostSurface();
        break;
    case kNotifyLensUp:
        RaiseBrightnessFloor();
        break;
    default:
        break;
    }
    return 0;
}

bool LensIsOn() {
    EngineLockHold hold;
    return engineHandle != nullptr;
}

void SwitchLensOn(HWND window) {
    const char* missing = nullptr;
    {
        EngineLockHold hold;
        missing = StartUnlessOn(window);
    }
    ShowNotFound(missing);
}

void SwitchLensOff() {
    EngineLockHold hold;
    StopEngine(engineHandle);
    engineHandle = nullptr;
    ++engineGeneration;
}

void ToggleLens(HWND window) {
    const char* missing = nullptr;
    {
        EngineLockHold hold;
        if (engineHandle != nullptr) {
            StopIfOn();
        } else {
            missing = StartUnlessOn(window);
        }
    }
    ShowNotFound(missing);
}

void StepEngineBrightness(int direction, int amount) {
    EngineLockHold hold;
    if (engineHandle != nullptr && engineBrightness != nullptr) {
        engineBrightness(direction, amount);
    }
}

void MatchAdjustmentHotKeys(HWND window) {
    bool loaded;
    {
        EngineLockHold hold;
        loaded = engineModule != nullptr;
    }
    if (loaded) {
        RegisterAdjustmentHotKeys(window);
    } else {
        UnregisterAdjustmentHotKeys(window);
    }
}
