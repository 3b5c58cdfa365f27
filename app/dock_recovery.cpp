#include "dock_recovery.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "dock_marker.h"

void RecoverDockedStrip() {
    char marker[kPathCapacity];
    if (ComposeDockMarkerPath(marker)) {
        RecoverDockedStripWith(marker);
    }
}

void RecoverDockedStripWith(const char* marker) {
    if (GetFileAttributesA(marker) == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    DockRecord record;
    if (ReadDockMarker(marker, &record)) {
        // A window that still exists is no longer the crashed view's: its handle was reused.
        HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(record.window));
        if (!IsWindow(window)) {
            APPBARDATA data = {};
            data.cbSize = sizeof(data);
            data.hWnd = window;
            SHAppBarMessage(ABM_REMOVE, &data);
        }
        AreaRect whole;
        if (WorkAreaToRestore(record, MonitorWorkArea(record.strip), &whole)) {
            SetMonitorWorkArea(whole);
        }
    }
    DeleteFileA(marker);
}
