// The hot keys of the options file (see kOptionHotKeys): registered on the main window with the
// adjustment hot keys while the lens is on, each under a global atom of its own.
#pragma once

#include <windows.h>

// Registers every option hot key that has a key; one that cannot be had is left out.
void RegisterOptionHotKeys(HWND owner);
void UnregisterOptionHotKeys(HWND owner);

// WM_HOTKEY that no settings slot matched: posts the command of the matching option hot key.
void RouteOptionHotKey(HWND window, LPARAM lParam);
