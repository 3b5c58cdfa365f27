// The one command handler of the main window and of the settings dialog: every user
// action arrives here as a numbered command.
#pragma once

#include <windows.h>

// `window` received WM_COMMAND with `wParam`. Returns 0.
int HandleCommand(HWND window, WPARAM wParam);
