// The engine library qxmagnifier.dll: loaded from the program's folder each time the lens is
// switched on and released each time it is switched off, started with the settings record as
// its parameters, and answered when it reports on threads of its own.
#pragma once

#include <windows.h>

// Posted to the main window by engine-callback threads: hot keys can be registered only by the
// thread that made the window, so the main thread brings slots 1 to 10 in line with the engine.
constexpr UINT kMatchHotKeysMessage = WM_APP + 1;

// Holds the engine lock for a scope; the lock may be taken again by the same thread.
class EngineLockHold {
public:
    EngineLockHold();
    ~EngineLockHold();
    EngineLockHold(const EngineLockHold&) = delete;
    EngineLockHold& operator=(const EngineLockHold&) = delete;
};

// The lens switches of the commands. Each runs under the engine lock, so a switch, a restart
// after a lost surface and a stop after a failure never overlap: at most one engine runs at a
// time. The "Is not found" box of a failed start comes after the lock is released.
bool LensIsOn();
void SwitchLensOn(HWND window);
void SwitchLensOff();
void ToggleLens(HWND window);

// A running engine shows the options as they are now at once.
void HandOptionsToEngine();

// The engine's brightness stepped by the brightness hot keys, while the lens is on. Returns the
// new brightness, or -1 while the lens is off.
int StepEngineBrightness(int direction, int amount);

// kMatchHotKeysMessage on the main thread.
void MatchAdjustmentHotKeys(HWND window);
