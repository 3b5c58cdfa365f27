// Engine-wide state, one set per loaded library: what the exports keep from one call to the next.
#pragma once

#include <windows.h>

#include "qxmagnifier.h"

struct EngineState {
    // The main program's notification routine, kept from the last qxCreateMagnifier.
    EngineCallback callback = nullptr;
    // The image brightness in thousandths: 0 when the library is loaded, changed by
    // qxSetBrightnessMagnifier and cleared by every DirectDraw set-up, always with interlocked
    // operations; read by every frame.
    volatile LONG brightness = 0;
    // The main program's window from the shared memory "magnifier"; null until read.
    HWND ownerWindow = nullptr;
};

// The library's one EngineState.
EngineState& Engine();

// The module that holds the engine's code and resources (no reference taken).
HMODULE EngineModule();

// Runs the main program's callback with `code` on a thread of its own, without waiting for it.
void SendNotification(int code);
