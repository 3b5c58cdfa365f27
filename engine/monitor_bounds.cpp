#include "monitor_bounds.h"

#include "engine_seams.h"

namespace {

// How old a reading may grow while the followed point stays on its monitor.
constexpr DWORD kRereadAfterMs = 1000;

bool Inside(const IntRect& r, IntPoint p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

} // namespace

IntRect SystemMonitorUnder(IntPoint point) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    HMONITOR monitor = MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST);
    if (monitor == nullptr || !GetMonitorInfoA(monitor, &info)) {
        return IntRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const RECT& r = info.rcMonitor;
    return IntRect{r.left, r.top, r.right, r.bottom};
}

ScreenBounds ReadScreenBounds() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return ScreenBounds{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                        top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

IntRect MonitorForLens(void* bounds, IntPoint point) {
    DisplayBounds& b = *static_cast<DisplayBounds*>(bounds);
    const DWORD now = GetTickCount();
    if (!b.read || !Inside(b.monitor, point) || now - b.readAt >= kRereadAfterMs) {
        b.monitor = Seams().monitorUnderPoint(point);
        b.screen = ReadScreenBounds();
        b.readAt = now;
        b.read = true;
    }
    return b.monitor;
}
