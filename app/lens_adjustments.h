// Commands 9001 to 9010: zoom, size, capture, brightness, transparency and lock of the running
// lens or view. Each does nothing while the magnifier is off.
#pragma once

#include <windows.h>

// `window` received the command; a size change restarts the lens for it.
void RunLensAdjustment(HWND window, unsigned command);
