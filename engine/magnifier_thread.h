// The magnifier thread: start-up, the frame loop and the shutdown of one run of the lens.
#pragma once

#include <windows.h>

DWORD WINAPI MagnifierThread(LPVOID unused);

// The library the composition guard binds ("dwmapi.dll"); tests name a stand-in.
extern const char* g_CompositionLibrary;
