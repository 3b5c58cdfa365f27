#include "pointer_hiding.h"

#include <string>

#include "pointer_marker.h"
#include "scoped_handles.h"

namespace {

const LPCSTR kStandardPointers[kStandardPointerCount] = {
    IDC_ARROW,  IDC_IBEAM,  IDC_WAIT,    IDC_CROSS, IDC_UPARROW, IDC_SIZENWSE,    IDC_SIZENESW,
    IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL, IDC_NO,    IDC_HAND,    IDC_APPSTARTING, IDC_HELP,
};

constexpr int kBlankSide = 32;
constexpr size_t kMarkerMostBytes = 256;

DWORD PointerId(LPCSTR pointer) {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(pointer));
}

uint64_t Ticks(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The process's creation time; 0 when it cannot be read.
uint64_t StartTime(HANDLE process, bool* ended) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        return 0;
    }
    if (ended != nullptr) {
        *ended = Ticks(exited) != 0;
    }
    return Ticks(created);
}

MarkerOwner ThisProcess() {
    MarkerOwner owner;
    owner.processId = GetCurrentProcessId();
    owner.startTime = StartTime(GetCurrentProcess(), nullptr);
    return owner;
}

// Whether the process the marker names still runs and is not this one.
bool AnotherOwnerRuns(const MarkerOwner& owner) {
    if (owner.processId == GetCurrentProcessId()) {
        return false;
    }
    constexpr DWORD kQueryLimited = 0x1000; // PROCESS_QUERY_LIMITED_INFORMATION, Vista on
    UniqueHandle process(OpenProcess(kQueryLimited, FALSE, owner.processId));
    if (!process) {
        process.Reset(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, owner.processId));
    }
    bool ended = true;
    return process && StartTime(process.Get(), &ended) == owner.startTime && !ended;
}

bool ReadMarker(const char* path, std::string* text) {
    UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    char bytes[kMarkerMostBytes];
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes, sizeof(bytes), &read, nullptr)) {
        read = 0;
    }
    text->assign(bytes, read);
    return true;
}

void WriteMarker(const PointerHiding& hiding) {
    if (hiding.markerPath[0] == '\0') {
        return;
    }
    const std::string text = FormatPointerMarker(ThisProcess());
    UniqueFile file(CreateFileA(hiding.markerPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) {
        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

void DeleteMarker(const PointerHiding& hiding) {
    if (hiding.markerPath[0] != '\0') {
        DeleteFileA(hiding.markerPath);
    }
}

// A cursor with every pixel see-through, for the system to take over and destroy.
HCURSOR BlankCursor() {
    BYTE keep[kBlankSide * kBlankSide / 8];
    BYTE none[kBlankSide * kBlankSide / 8];
    FillMemory(keep, sizeof(keep), 0xFF);
    ZeroMemory(none, sizeof(none));
    return CreateCursor(nullptr, 0, 0, kBlankSide, kBlankSide, keep, none);
}

void SavePointers(PointerHiding* hiding) {
    for (int i = 0; i < kStandardPointerCount; ++i) {
        if (hiding->saved[i] == nullptr) {
            hiding->saved[i] = CopyIcon(LoadCursorA(nullptr, kStandardPointers[i]));
        }
    }
}

void DiscardSaved(PointerHiding* hiding) {
    for (HCURSOR& saved : hiding->saved) {
        if (saved != nullptr) {
            DestroyCursor(saved);
            saved = nullptr;
        }
    }
}

// The saved copies go back one by one; the system takes each copy it accepts.
bool PutBackSaved(PointerHiding* hiding) {
    bool all = true;
    for (int i = 0; i < kStandardPointerCount; ++i) {
        HCURSOR saved = hiding->saved[i];
        if (saved == nullptr) {
            all = false;
        } else if (hiding->calls.setSystemCursor(saved, PointerId(kStandardPointers[i]))) {
            hiding->saved[i] = nullptr;
        } else {
            all = false;
        }
    }
    return all;
}

// The user's pointers from their settings: scheme, size and shape, as the system loads them at
// logon. Only pointers saved in this process can stand in when the system cannot do that.
bool Restore(PointerHiding* hiding) {
    const bool restored =
        hiding->calls.systemParametersInfo(SPI_SETCURSORS, 0, nullptr, 0) || PutBackSaved(hiding);
    DiscardSaved(hiding);
    if (restored) {
        hiding->hidden = false;
        DeleteMarker(*hiding);
    }
    return restored;
}

bool Hide(PointerHiding* hiding) {
    // The marker goes first: from here on a process that ends early leaves word of it.
    WriteMarker(*hiding);
    SavePointers(hiding);
    hiding->hidden = true;
    bool all = true;
    for (LPCSTR pointer : kStandardPointers) {
        HCURSOR blank = BlankCursor();
        if (blank == nullptr || !hiding->calls.setSystemCursor(blank, PointerId(pointer))) {
            if (blank != nullptr) {
                DestroyCursor(blank);
            }
            all = false;
        }
    }
    return all;
}

// A marker from a process that ended without a show: its pointers are given back.
void RestoreLeftover(PointerHiding* hiding) {
    std::string text;
    if (hiding->markerPath[0] == '\0' || !ReadMarker(hiding->markerPath, &text)) {
        return;
    }
    MarkerOwner owner;
    if (ParsePointerMarker(text, &owner) && AnotherOwnerRuns(owner)) {
        return;
    }
    Restore(hiding);
}

} // namespace

PointerCalls SystemPointerCalls() {
    return PointerCalls{SetSystemCursor, SystemParametersInfoA};
}

void SetUpPointerHiding(PointerHiding* hiding, const PointerCalls& calls, const char* markerPath) {
    hiding->calls = calls;
    lstrcpynA(hiding->markerPath, markerPath, kPathCapacity);
    hiding->leftoverChecked = false;
    hiding->hidden = false;
}

int ShowSystemPointer(PointerHiding* hiding, int show) {
    if (!hiding->leftoverChecked) {
        hiding->leftoverChecked = true;
        RestoreLeftover(hiding);
    }
    if (show == 0) {
        return hiding->hidden || Hide(hiding) ? 1 : 0;
    }
    return !hiding->hidden || Restore(hiding) ? 1 : 0;
}

void RestoreOnUnload(PointerHiding* hiding) {
    if (hiding->hidden) {
        Restore(hiding);
    }
    DiscardSaved(hiding);
}
