// Engine-wide state, one set per loaded library. Written by the exports, read by the thread.
#pragma once

#include <windows.h>

#include "qxmagnifier.h"

// The main program's notification routine, kept from the last qxCreateMagnifier.
extern EngineCallback g_Callback;
// The image brightness in thousandths; 0 when the library is loaded.
extern volatile LONG g_Brightness;
// The main program's window from the shared memory "magnifier"; null until read.
extern HWND g_OwnerWindow;

// The module that holds the engine's code and resources (no reference taken).
HMODULE EngineModule();

// Runs the main program's callback with `code` on a thread of its own, without waiting for it.
void SendNotification(int code);
