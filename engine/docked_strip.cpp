#include "docked_strip.h"

#include "dock_marker.h"
#include "engine_seams.h"
#include "run_control.h"
#include "scoped_handles.h"
#include "view_geometry.h"

namespace {

typedef UINT_PTR(WINAPI* AppBarMessageFn)(DWORD, APPBARDATA*);

RECT ToRect(const IntRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

IntRect ToIntRect(const RECT& r) {
    return IntRect{r.left, r.top, r.right, r.bottom};
}

AreaRect ToArea(const IntRect& r) {
    return AreaRect{r.left, r.top, r.right, r.bottom};
}

bool SameRect(const IntRect& a, const IntRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Empty(const IntRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

UINT ShellEdge(uint32_t edge) {
    switch (edge) {
    case kDockBottom:
        return ABE_BOTTOM;
    case kDockLeft:
        return ABE_LEFT;
    case kDockRight:
        return ABE_RIGHT;
    default:
        return ABE_TOP;
    }
}

APPBARDATA AppBarData(HWND window) {
    APPBARDATA data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    return data;
}

} // namespace

UINT_PTR WINAPI SystemAppBarMessage(DWORD message, APPBARDATA* data) {
    UniqueModule shell(LoadLibraryA("shell32.dll"));
    const auto send = BindProc<AppBarMessageFn>(shell.Get(), "SHAppBarMessage");
    return send != nullptr ? send(message, data) : 0;
}

DockedStrip::~DockedStrip() {
    Release();
}

IntRect DockedStrip::Place(HWND window, const IntRect& monitor, uint32_t edge, uint32_t percent) {
    if (window_ == window && window != nullptr && SameRect(monitor, monitor_) && edge == edge_ &&
        percent == percent_ && !positionChanged_) {
        return strip_;
    }
    if (window_ != window || !SameRect(monitor, monitor_)) {
        Release();
        window_ = window;
        monitor_ = monitor;
        registered_ = Register();
    }
    edge_ = edge;
    percent_ = percent;
    positionChanged_ = false;
    strip_ = StripAlong(monitor, edge, DockThickness(monitor, edge, percent));
    if (registered_) {
        Reserve();
    }
    return strip_;
}

void DockedStrip::Release() {
    if (registered_) {
        APPBARDATA data = AppBarData(window_);
        Seams().appBarMessage(ABM_REMOVE, &data);
        registered_ = false;
        if (markerPath_[0] != '\0') {
            DeleteFileA(markerPath_);
        }
    }
    window_ = nullptr;
    monitor_ = IntRect{};
}

// A notice that reaches the window after the strip was given back concerns no strip of ours.
void DockedStrip::OnShellMessage(void* strip, WPARAM notification, LPARAM) {
    DockedStrip* self = static_cast<DockedStrip*>(strip);
    if (notification == ABN_POSCHANGED && self->registered_) {
        self->positionChanged_ = true;
        RedrawSoon();
    }
}

bool DockedStrip::Register() {
    APPBARDATA data = AppBarData(window_);
    data.uCallbackMessage = kAppBarCallbackMessage;
    if (window_ == nullptr || Seams().appBarMessage(ABM_NEW, &data) == 0) {
        return false;
    }
    workAreaBefore_ = MonitorWorkArea(ToArea(monitor_));
    ComposeDockMarkerPath(markerPath_);
    return true;
}

// Asks the shell where the strip may lie (it keeps clear of the taskbar and of the bars docked
// before it), keeps the strip's thickness from the edge it grants, and takes that place.
void DockedStrip::Reserve() {
    APPBARDATA data = AppBarData(window_);
    data.uEdge = ShellEdge(edge_);
    data.rc = ToRect(strip_);
    Seams().appBarMessage(ABM_QUERYPOS, &data);
    const IntRect granted = ToIntRect(data.rc);
    data.rc = ToRect(StripAlong(granted, edge_, DockThickness(monitor_, edge_, percent_)));
    Seams().appBarMessage(ABM_SETPOS, &data);
    const IntRect taken = ToIntRect(data.rc);
    if (!Empty(taken)) {
        strip_ = taken;
    }
    if (markerPath_[0] != '\0') {
        WriteDockMarker(markerPath_,
                        DockRecord{static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window_)),
                                   edge_, ToArea(strip_), workAreaBefore_});
    }
}
