// The magnifier thread: start-up, the frame loop and the shutdown of one run of the lens.
#pragma once

#include <windows.h>

// Started by qxCreateMagnifier, which has taken a reference on the engine library for it: the
// thread gives it back as it ends (FreeLibraryAndExitThread).
DWORD WINAPI MagnifierThread(LPVOID unused);

// The library the composition guard binds ("dwmapi.dll"); tests name a stand-in.
extern const char* g_CompositionLibrary;
