// The monitors as the lens sees them, in physical pixels of the virtual screen: the rectangle of
// the monitor under the followed point, for placing the lens, and the bounds of the whole virtual
// screen, for the capture. Both are read from the system when the point leaves the monitor read
// last, and again once that reading is a second old, so a monitor added, removed or set to
// another resolution is taken up during the run. Nothing is allocated per frame.
#pragma once

#include <windows.h>

#include "capture_geometry.h"
#include "lens_placement.h"

// The system's answer for a point: the rectangle of its monitor, or of the nearest one. The lens
// asks through Seams().monitorUnderPoint.
IntRect SystemMonitorUnder(IntPoint point);

// The bounds of the whole (virtual) screen.
ScreenBounds ReadScreenBounds();

// What one run has read; owned by the frame loop.
struct DisplayBounds {
    IntRect monitor = {};     // the monitor under the point of the last reading
    ScreenBounds screen = {}; // the virtual screen at that reading
    DWORD readAt = 0;         // GetTickCount of that reading
    bool read = false;
};

// The lens's MonitorLookup: the monitor under `point`, reading `bounds` (a DisplayBounds) afresh
// when it is stale.
IntRect MonitorForLens(void* bounds, IntPoint point);
