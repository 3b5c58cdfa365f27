#include "system_caret.h"

#include "dpi_awareness_contexts.h"
#include "scoped_handles.h"

namespace {

// Bound by name: they come with later versions of the system.
typedef HANDLE(WINAPI* SetThreadDpiContextFn)(HANDLE);
typedef HANDLE(WINAPI* GetWindowDpiContextFn)(HWND);
typedef BOOL(WINAPI* LogicalToPhysicalFn)(HWND, LPPOINT);

struct DpiCalls {
    SetThreadDpiContextFn setThreadContext;
    GetWindowDpiContextFn windowContext;
    LogicalToPhysicalFn logicalToPhysical;
};

DpiCalls BindDpiCalls() {
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    DpiCalls bound;
    bound.setThreadContext =
        BindProc<SetThreadDpiContextFn>(user32, "SetThreadDpiAwarenessContext");
    bound.windowContext = BindProc<GetWindowDpiContextFn>(user32, "GetWindowDpiAwarenessContext");
    bound.logicalToPhysical =
        BindProc<LogicalToPhysicalFn>(user32, "LogicalToPhysicalPointForPerMonitorDPI");
    if (bound.logicalToPhysical == nullptr) {
        bound.logicalToPhysical = BindProc<LogicalToPhysicalFn>(user32, "LogicalToPhysicalPoint");
    }
    return bound;
}

// Bound when the library is loaded: a function-local static would be guarded through the static
// thread library, whose TLS slot stays taken after every free of the library.
const DpiCalls dpiCalls = BindDpiCalls();

const DpiCalls& Dpi() {
    return dpiCalls;
}

// The caret rectangle is in the caret window's client coordinates as that window sees them. It
// is taken to the screen as the window sees it, then from the window's logical pixels to
// physical ones.
CaretPoint PhysicalCaretPoint(HWND caretWindow, const RECT& caret) {
    const DpiCalls& dpi = Dpi();
    HANDLE previous = nullptr;
    if (dpi.setThreadContext != nullptr && dpi.windowContext != nullptr) {
        if (HANDLE windowContext = dpi.windowContext(caretWindow)) {
            previous = dpi.setThreadContext(windowContext);
        }
    }
    POINT corners[2] = {{caret.left, caret.top}, {caret.right, caret.bottom}};
    MapWindowPoints(caretWindow, HWND_DESKTOP, corners, 2);
    if (previous != nullptr) {
        dpi.setThreadContext(previous);
    }
    // Two points are mapped as a rectangle: a window laid out right to left keeps left < right.
    const CaretPoint followed = FollowedCaretPoint(corners[0].x, corners[0].y, corners[1].y);
    POINT point = {followed.x, followed.y};
    if (dpi.logicalToPhysical != nullptr) {
        dpi.logicalToPhysical(caretWindow, &point);
    }
    return CaretPoint{point.x, point.y};
}

} // namespace

void SeePhysicalPixels() {
    const DpiCalls& dpi = Dpi();
    if (dpi.setThreadContext != nullptr &&
        dpi.setThreadContext(kDpiContextPerMonitorV2) == nullptr) {
        dpi.setThreadContext(kDpiContextPerMonitor);
    }
}

CaretSighting LookAtSystemCaret() {
    CaretSighting sighting;
    sighting.foreground = GetForegroundWindow();
    if (sighting.foreground == nullptr) {
        return sighting;
    }
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(sighting.foreground, nullptr), &info)) {
        sighting.focus = sighting.foreground;
        return sighting;
    }
    sighting.focus = info.hwndFocus != nullptr ? info.hwndFocus : sighting.foreground;
    if (info.hwndCaret != nullptr) {
        sighting.systemCaret = true;
        sighting.point = PhysicalCaretPoint(info.hwndCaret, info.rcCaret);
    }
    return sighting;
}
