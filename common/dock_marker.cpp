#include "dock_marker.h"

#include <string>

#include "appdata_folder.h"
#include "scoped_handles.h"

namespace {

RECT ToRect(const AreaRect& a) {
    return RECT{a.left, a.top, a.right, a.bottom};
}

AreaRect ToArea(const RECT& r) {
    return AreaRect{r.left, r.top, r.right, r.bottom};
}

} // namespace

int ComposeDockMarkerPath(char* path) {
    char folder[kPathCapacity];
    if (ComposeAppDataFolder(folder, nullptr) &&
        JoinPath(path, kPathCapacity, folder, kDockMarkerName)) {
        return 1;
    }
    path[0] = '\0';
    return 0;
}

bool WriteDockMarker(const char* path, const DockRecord& record) {
    const std::string text = DockRecordText(record);
    UniqueFile file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

bool ReadDockMarker(const char* path, DockRecord* record) {
    UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    char bytes[kMaxDockMarkerBytes + 1];
    DWORD read = 0;
    return file && ReadFile(file.Get(), bytes, sizeof(bytes), &read, nullptr) &&
           ParseDockRecord(std::string_view(bytes, read), record);
}

AreaRect MonitorWorkArea(const AreaRect& area) {
    const RECT r = ToRect(area);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) {
        return area;
    }
    RECT work = info.rcWork;
    if (info.dwFlags & MONITORINFOF_PRIMARY) {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    }
    return ToArea(work);
}

bool SetMonitorWorkArea(const AreaRect& area) {
    RECT r = ToRect(area);
    return SystemParametersInfoA(SPI_SETWORKAREA, 0, &r, SPIF_SENDCHANGE) != FALSE;
}
