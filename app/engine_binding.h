// The engine library qxmagnifier.dll: loaded from the program's folder each time the lens is
// switched on and released each time it is switched off, started with the settings record as
// its parameters, and answered when it reports on threads of its own.
#pragma once

#include <windows.h>

#include "lens_clamp.h"
#include "qxmagnifier.h"

// Posted to the main window by engine-callback threads: hot keys can be registered only by the
// thread that made the window, so the main thread brings slots 1 to 10 in line with the engine.
constexpr UINT kMatchHotKeysMessage = WM_APP + 1;

// Holds engineLock for a scope; the lock may be taken again by the same thread.
class EngineLockHold {
public:
    EngineLockHold();
    ~EngineLockHold();
    EngineLockHold(const EngineLockHold&) = delete;
    EngineLockHold& operator=(const EngineLockHold&) = delete;
};

extern HMODULE engineModule; // the loaded engine library, empty while the lens is off
extern HANDLE engineHandle;  // the engine's thread; nonzero while the lens is on
extern HWND callbackWindow;  // the window of the last StartEngine: the main window
extern LensClamp lensClamp;  // the clamp of the last start

// Loads the library, binds its three functions, registers hot keys 1 to 10 for `window`, clamps
// a lens larger than the screen and starts the engine. Returns its handle, or 0; when the library
// or a function is missing, `missing` names it for the "Is not found" box, which the caller
// shows once it has released engineLock. A clamp is undone at once when the engine does not
// start. Call with engineLock held.
HANDLE StartEngine(HWND window, const char** missing);

// Under engineLock: when the library is loaded, shows icon "M2", gives up hot keys 1 to 10,
// closes the engine (waiting for its thread), releases the library, undoes the clamp and shows
// icon "M" again. Returns the close function's result, or 1.
int StopEngine(HANDLE handle);

// The notification routine (an EngineCallback) handed to the engine, run on a new thread for
// every report.
DWORD WINAPI EngineCallbackRoutine(LPVOID code);

// The lens switches of the commands. Each runs under engineLock, so a switch, a restart after a
// lost surface and a stop after a failure never overlap: at most one engine runs at a time. The
// "Is not found" box of a failed start comes after the lock is released.
bool LensIsOn();
void SwitchLensOn(HWND window);
void SwitchLensOff();
void ToggleLens(HWND window);

// The engine's brightness stepped by the brightness hot keys, while the lens is on.
void StepEngineBrightness(int direction, int amount);

// kMatchHotKeysMessage on the main thread.
void MatchAdjustmentHotKeys(HWND window);
