#include "process_census.h"

#include <tlhelp32.h>

#include "scoped_handles.h"

namespace {

typedef LONG(WINAPI* NtQueryObjectFn)(HANDLE, int, void*, ULONG, ULONG*);

constexpr int kObjectTypeInformation = 2;
// Handle values are multiples of 4 handed out lowest first, so the table is dense: the search
// ends this far past the last handle found.
constexpr ULONG kHandleSearchTail = 4096;

struct TypeName {
    USHORT length;
    USHORT capacity;
    const wchar_t* text;
};

std::string HandleType(NtQueryObjectFn query, HANDLE handle) {
    alignas(8) unsigned char buffer[1024];
    if (query == nullptr ||
        query(handle, kObjectTypeInformation, buffer, sizeof(buffer), nullptr) != 0) {
        return "(unknown)";
    }
    const auto* name = reinterpret_cast<const TypeName*>(buffer);
    std::string type;
    for (USHORT i = 0; i < name->length / 2; ++i) {
        type += static_cast<char>(name->text[i]);
    }
    return type.empty() ? "(unnamed)" : type;
}

// Every handle value of the process is probed by duplicating it into this process.
void CountHandles(HANDLE process, ProcessCensus* census) {
    const auto query = BindProc<NtQueryObjectFn>(GetModuleHandleA("ntdll.dll"), "NtQueryObject");
    ULONG lastFound = 0;
    for (ULONG value = 4; value <= lastFound + kHandleSearchTail; value += 4) {
        HANDLE copy = nullptr;
        if (!DuplicateHandle(process, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value)),
                             GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
            continue;
        }
        UniqueHandle owned(copy);
        lastFound = value;
        ++census->handles;
        ++census->handlesByType[HandleType(query, copy)];
    }
}

struct WindowCount {
    DWORD processId;
    int count;
};

BOOL CALLBACK CountChild(HWND window, LPARAM parameter) {
    auto* windows = reinterpret_cast<WindowCount*>(parameter);
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    windows->count += id == windows->processId ? 1 : 0;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM parameter) {
    CountChild(window, parameter);
    EnumChildWindows(window, CountChild, parameter);
    return TRUE;
}

int CountWindows(DWORD processId) {
    WindowCount windows = {processId, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    HWND window = nullptr;
    while ((window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) != nullptr) {
        CountChild(window, reinterpret_cast<LPARAM>(&windows));
    }
    return windows.count;
}

// GetGuiResources answers 0 under Wine. There a GDI handle is found by its table index alone,
// so the objects of the calling process can be counted by asking the type of every index.
int CountGdiObjects(HANDLE process, DWORD processId) {
    const DWORD reported = GetGuiResources(process, GR_GDIOBJECTS);
    if (reported != 0) {
        return static_cast<int>(reported);
    }
    if (processId != GetCurrentProcessId()) {
        return -1;
    }
    int count = 0;
    for (ULONG_PTR index = 1; index <= 0xFFFF; ++index) {
        count += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0 ? 1 : 0;
    }
    return count;
}

int CountThreads(DWORD processId) {
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) {
        return 0;
    }
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more;
         more = Thread32Next(snapshot.Get(), &entry)) {
        count += entry.th32OwnerProcessID == processId ? 1 : 0;
    }
    return count;
}

uint64_t CommittedPrivateBytes(HANDLE process) {
    uint64_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* address = nullptr;
    while (VirtualQueryEx(process, address, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += region.RegionSize;
        }
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) {
            break;
        }
        address = next;
    }
    return total;
}

int LowestFreeTlsSlot() {
    const DWORD slot = TlsAlloc();
    if (slot == TLS_OUT_OF_INDEXES) {
        return static_cast<int>(TLS_OUT_OF_INDEXES);
    }
    TlsFree(slot);
    return static_cast<int>(slot);
}

bool SameCounts(const ProcessCensus& a, const ProcessCensus& b) {
    return a.handlesByType == b.handlesByType && a.windows == b.windows &&
           a.gdiObjects == b.gdiObjects && a.threads == b.threads && a.tlsSlot == b.tlsSlot;
}

} // namespace

bool TakeCensus(HANDLE process, DWORD processId, ProcessCensus* census) {
    *census = ProcessCensus{};
    census->privateBytes = CommittedPrivateBytes(process);
    if (census->privateBytes == 0) {
        return false;
    }
    CountHandles(process, census);
    census->windows = CountWindows(processId);
    census->gdiObjects = CountGdiObjects(process, processId);
    census->threads = CountThreads(processId);
    if (processId == GetCurrentProcessId()) {
        census->tlsSlot = LowestFreeTlsSlot();
    }
    return true;
}

bool TakeSettledCensus(HANDLE process, DWORD processId, ProcessCensus* census, DWORD pauseMs,
                       DWORD limitMs) {
    const DWORD start = GetTickCount();
    if (!TakeCensus(process, processId, census)) {
        return false;
    }
    for (;;) {
        Sleep(pauseMs);
        ProcessCensus next;
        if (!TakeCensus(process, processId, &next)) {
            return false;
        }
        const bool settled = SameCounts(*census, next);
        *census = next;
        if (settled || GetTickCount() - start >= limitMs) {
            return true;
        }
    }
}
