// The docked view's reservation: its window registered with the shell as an application desktop
// toolbar along one edge of a monitor, so that maximised windows end beside the strip and nothing
// lies under it. While the strip is reserved, the marker "docked-view.marker" records it, so that
// the program's next start can give it back after a crash.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "dock_record.h"
#include "lens_placement.h"
#include "path_join.h"

// The message the shell sends the docked view's window about its strip.
constexpr UINT kAppBarCallbackMessage = WM_APP + 0x0A0B;

// SHAppBarMessage, bound by name from shell32.dll; 0 without it.
UINT_PTR WINAPI SystemAppBarMessage(DWORD message, APPBARDATA* data);

class DockedStrip {
public:
    DockedStrip() = default;
    // Gives the strip back.
    ~DockedStrip();
    DockedStrip(const DockedStrip&) = delete;
    DockedStrip& operator=(const DockedStrip&) = delete;

    // The strip to show along `edge` (a DockEdge) of `monitor`, `percent` of it thick, reserved
    // for `window` through the shell: the window is registered on the first call (and again for
    // another window or monitor), the place asked for again when the edge or the size changed or
    // the shell reported a change (OnShellMessage), and kept as it is otherwise. Without the
    // shell's consent the strip is shown where it was asked for, unreserved.
    IntRect Place(HWND window, const IntRect& monitor, uint32_t edge, uint32_t percent);
    // Unregisters the window and removes the marker; nothing more when nothing is reserved.
    void Release();

    // The monitor of the strip placed last; empty after Release.
    const IntRect& Monitor() const { return monitor_; }

    // The shell's notification: ABN_POSCHANGED makes the next Place ask again.
    static void OnShellMessage(void* strip, WPARAM notification, LPARAM);

private:
    bool Register();
    void Reserve();

    HWND window_ = nullptr;
    bool registered_ = false;
    bool positionChanged_ = false;
    IntRect monitor_ = {};
    uint32_t edge_ = 0;
    uint32_t percent_ = 0;
    IntRect strip_ = {};
    AreaRect workAreaBefore_ = {};
    char markerPath_[kPathCapacity] = {};
};
