// The hidden main window: a modeless dialog from the template "About" that receives every
// command, hot key and tray message of the program.
#pragma once

#include <windows.h>

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
