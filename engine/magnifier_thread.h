// The magnifier thread: start-up, the frame loop and the shutdown of one run of the lens.
#pragma once

#include <windows.h>

#include "qxmagnifier.h"

// What qxCreateMagnifier hands the thread it starts.
struct RunStart {
    EngineParameters* params; // the main program's live record, read afresh every frame
    HWND ownerWindow;         // the main program's window, which owns the Direct3D device
};

// Started by qxCreateMagnifier with a RunStart made with new, which the thread deletes, and with a
// reference on the engine library, which the thread gives back as it ends
// (FreeLibraryAndExitThread).
DWORD WINAPI MagnifierThread(LPVOID start);
