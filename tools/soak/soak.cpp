// Switches the lens on and off many times and shows what each switch leaves behind.
//
//     vexlume_soak [tray|engine|both] [cycles]        (default: both, 1000 cycles)
//
// tray:   starts Vexlume.exe from this program's folder (the real engine beside it), switches the
//         lens on (waiting for the lens window) and off with command 8002, and counts what the
//         program's process holds after every switch.
// engine: in this process, loads qxmagnifier.dll, starts the engine (waiting for "lens up"),
//         closes it and frees the library, counting what this process holds after every cycle.
//
// Prints every cycle, then the growth per cycle after the first ten of handles (by type),
// windows, GDI objects, threads, committed private memory and TLS slots, the time per cycle and
// every notification code received. Exit code 1 when anything grows beyond noise.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "instance_mapping.h"
#include "process_census.h"
#include "qxmagnifier.h"
#include "scoped_handles.h"
#include "settings_logic.h"

namespace {

constexpr int kWarmUpCycles = 10;
// Growth per cycle that counts as noise: a count that moves once in a run, or a heap that grows
// by one block now and then. A leak of one object or of one page per cycle is far above.
constexpr double kCountNoise = 0.2;
constexpr double kMemoryNoise = 4096;
constexpr WPARAM kToggleCommand = 8002;
constexpr DWORD kLensUpWait = 15000;
constexpr DWORD kCommandWait = 30000;
const char kLensWindowClass[] = "VX Overlay Window";

struct Cycle {
    ProcessCensus census;
    double ms = 0;
};

struct SoakResult {
    std::vector<Cycle> cycles;
    bool codesSeen = false;             // the engine's reports reach this process
    LONG codes[kNotifyLensUp + 2] = {}; // 0..4, then any other code
    int lensUp = 0;
    bool ok = true;
};

double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

void PrintCycle(int number, const Cycle& cycle) {
    const ProcessCensus& c = cycle.census;
    std::printf("cycle %4d: handles %4d  windows %3d  gdi %4d  threads %3d  private %7llu KiB  "
                "tls %4d  %7.0f ms\n",
                number, c.handles, c.windows, c.gdiObjects, c.threads,
                static_cast<unsigned long long>(c.privateBytes / 1024), c.tlsSlot, cycle.ms);
    std::fflush(stdout);
}

// One line of the summary: the value after the warm-up, after the last cycle, and the growth
// per cycle between them. Returns false when that growth is above `noise`.
bool PrintGrowth(const char* measure, double warm, double last, int cycles, double noise,
                 double scale = 1) {
    const double growth = (last - warm) / (cycles - kWarmUpCycles);
    const bool flat = growth <= noise;
    std::printf("| %-28s | %12.0f | %12.0f | %10.3f |%s\n", measure, warm / scale, last / scale,
                growth / scale, flat ? "" : " <- grows");
    return flat;
}

bool PrintSummary(const char* mode, const SoakResult& result) {
    const int n = static_cast<int>(result.cycles.size());
    std::printf("\nsoak %s: %d cycles, growth per cycle after the first %d\n", mode, n,
                kWarmUpCycles);
    if (n <= kWarmUpCycles) {
        std::printf("too few cycles to judge\n");
        return false;
    }
    const ProcessCensus& warm = result.cycles[kWarmUpCycles - 1].census;
    const ProcessCensus& last = result.cycles.back().census;
    std::printf("| %-28s | %12s | %12s | %10s |\n", "measure", "cycle 10", "last cycle",
                "per cycle");
    bool flat = PrintGrowth("handles", warm.handles, last.handles, n, kCountNoise);
    std::set<std::string> types;
    for (const auto& entry : warm.handlesByType) {
        types.insert(entry.first);
    }
    for (const auto& entry : last.handlesByType) {
        types.insert(entry.first);
    }
    for (const std::string& type : types) {
        const auto before = warm.handlesByType.find(type);
        const auto after = last.handlesByType.find(type);
        const std::string label = "  handles: " + type;
        flat &= PrintGrowth(label.c_str(), before == warm.handlesByType.end() ? 0 : before->second,
                            after == last.handlesByType.end() ? 0 : after->second, n, kCountNoise);
    }
    flat &= PrintGrowth("windows", warm.windows, last.windows, n, kCountNoise);
    if (warm.gdiObjects >= 0) {
        flat &= PrintGrowth("GDI objects", warm.gdiObjects, last.gdiObjects, n, kCountNoise);
    } else {
        std::printf("| %-28s | %12s | %12s | %10s |\n", "GDI objects", "n/a", "n/a", "n/a");
    }
    flat &= PrintGrowth("threads", warm.threads, last.threads, n, kCountNoise);
    flat &= PrintGrowth("private memory (KiB)", static_cast<double>(warm.privateBytes),
                        static_cast<double>(last.privateBytes), n, kMemoryNoise, 1024);
    if (warm.tlsSlot >= 0) {
        flat &= PrintGrowth("lowest free TLS slot", warm.tlsSlot, last.tlsSlot, n, kCountNoise);
    }
    double firstMs = 0;
    double restMs = 0;
    for (int i = 0; i < n; ++i) {
        (i < kWarmUpCycles ? firstMs : restMs) += result.cycles[i].ms;
    }
    std::printf("time per cycle: %.0f ms in the first %d, %.0f ms after\n", firstMs / kWarmUpCycles,
                kWarmUpCycles, restMs / (n - kWarmUpCycles));
    if (result.codesSeen) {
        std::printf("notifications received: code 0: %ld, 1: %ld, 2: %ld, 3: %ld, 4: %ld, "
                    "other: %ld\n",
                    result.codes[0], result.codes[1], result.codes[2], result.codes[3],
                    result.codes[4], result.codes[5]);
    } else {
        std::printf("notifications: received by the program itself, not seen from here\n");
    }
    std::printf("the lens came up in %d of %d cycles\n", result.lensUp, n);
    const bool passed = flat && result.ok && result.lensUp == n;
    std::printf("soak %s: %s (noise: %.1f per cycle for counts, %.0f KiB for memory)\n", mode,
                passed ? "no growth" : "FAILED", kCountNoise, kMemoryNoise / 1024);
    return passed;
}

// ---- tray: the real program, switched through its own command

HWND PublishedWindow() {
    UniqueHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, kInstanceMappingName));
    if (!mapping) {
        return nullptr;
    }
    UniqueView view(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) {
        return nullptr;
    }
    return reinterpret_cast<HWND>(
        static_cast<uintptr_t>(*static_cast<const volatile uint32_t*>(view.Get())));
}

bool SendCommand(HWND window, WPARAM command) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_COMMAND, command, 0, SMTO_NORMAL, kCommandWait,
                               &result) != 0;
}

bool EngineLoaded(DWORD processId) {
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = snapshot && Module32First(snapshot.Get(), &entry); more;
         more = Module32Next(snapshot.Get(), &entry)) {
        if (lstrcmpiA(entry.szModule, QX_ENGINE_LIBRARY) == 0) {
            return true;
        }
    }
    return false;
}

bool LensWindowShown(DWORD processId) {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, kLensWindowClass, nullptr)) != nullptr) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        if (id == processId && IsWindowVisible(window)) {
            return true;
        }
    }
    return false;
}

bool WaitForLens(DWORD processId) {
    const double deadline = NowMs() + kLensUpWait;
    while (!LensWindowShown(processId)) {
        if (NowMs() > deadline) {
            return false;
        }
        Sleep(10);
    }
    return true;
}

HWND WaitForMainWindow(DWORD processId, HANDLE process) {
    const double deadline = NowMs() + kCommandWait;
    while (NowMs() < deadline && WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        HWND window = PublishedWindow();
        DWORD id = 0;
        DWORD_PTR result = 0;
        if (window != nullptr && GetWindowThreadProcessId(window, &id) && id == processId &&
            SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kCommandWait, &result)) {
            return window;
        }
        Sleep(50);
    }
    return nullptr;
}

SoakResult SoakTray(int cycles) {
    SoakResult result;
    if (PublishedWindow() != nullptr) {
        std::printf("another Vexlume is running; end it first\n");
        result.ok = false;
        return result;
    }
    const std::string program = ProgramFolder() + "\\Vexlume.exe";
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        std::printf("cannot start %s\n", program.c_str());
        result.ok = false;
        return result;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    HWND window = WaitForMainWindow(info.dwProcessId, process.Get());
    if (window == nullptr) {
        std::printf("Vexlume did not come up\n");
        TerminateProcess(process.Get(), 1);
        result.ok = false;
        return result;
    }
    std::printf("soak tray: Vexlume.exe process %lu, %d switches on and off\n", info.dwProcessId,
                cycles);
    for (int i = 1; i <= cycles && result.ok; ++i) {
        Cycle cycle;
        const double start = NowMs();
        result.ok = SendCommand(window, kToggleCommand);
        result.lensUp += result.ok && WaitForLens(info.dwProcessId) ? 1 : 0;
        result.ok = result.ok && SendCommand(window, kToggleCommand) &&
                    !LensWindowShown(info.dwProcessId) && !EngineLoaded(info.dwProcessId);
        cycle.ms = NowMs() - start;
        result.ok = result.ok && TakeSettledCensus(process.Get(), info.dwProcessId, &cycle.census);
        result.cycles.push_back(cycle);
        PrintCycle(i, cycle);
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD code = 1;
    if (WaitForSingleObject(process.Get(), 15000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.Get(), &code) || code != 0) {
        std::printf("Vexlume did not end with code 0 on Exit\n");
        TerminateProcess(process.Get(), 1);
        result.ok = false;
    }
    return result;
}

// ---- engine: the library loaded, started, closed and freed in this process

volatile LONG g_codes[kNotifyLensUp + 2];
HANDLE g_reported = nullptr; // set by every code but 1 (the run is up or has failed)

DWORD WINAPI RecordNotification(LPVOID parameter) {
    const INT_PTR code = reinterpret_cast<INT_PTR>(parameter);
    const bool known = code >= 0 && code <= kNotifyLensUp;
    InterlockedIncrement(&g_codes[known ? code : kNotifyLensUp + 1]);
    if (code != kNotifyEnded) {
        SetEvent(g_reported);
    }
    return 0;
}

// Waits for `event`, handling the messages of this thread's window meanwhile.
bool WaitPumping(HANDLE event, DWORD milliseconds) {
    const double deadline = NowMs() + milliseconds;
    for (;;) {
        const double left = deadline - NowMs();
        if (left <= 0) {
            return false;
        }
        const DWORD woken =
            MsgWaitForMultipleObjects(1, &event, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) {
            return true;
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
    }
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// The engine learns the window that owns its Direct3D device from the shared memory
// "magnifier", as it does in the tray program.
struct PublishedOwner {
    HWND window = nullptr;
    UniqueHandle mapping;
    PublishedOwner() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = OwnerProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VexlumeSoakOwner";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                 nullptr, windowClass.hInstance, nullptr);
        mapping.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                         kInstanceMappingSize, kInstanceMappingName));
        UniqueView view(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
        if (view) {
            *static_cast<volatile uint32_t*>(view.Get()) =
                static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
        }
    }
    ~PublishedOwner() { DestroyWindow(window); }
};

bool RunEngineOnce(const std::string& library, SettingsRecord* record) {
    UniqueModule engine(LoadLibraryA(library.c_str()));
    const auto create = BindProc<QxCreateMagnifierFn>(engine.Get(), "qxCreateMagnifier");
    const auto close = BindProc<QxCloseMagnifierFn>(engine.Get(), "qxCloseMagnifier");
    if (create == nullptr || close == nullptr) {
        std::printf("cannot bind %s\n", library.c_str());
        return false;
    }
    ResetEvent(g_reported);
    HANDLE thread = create(&record->engine, RecordNotification);
    const bool reported = thread != nullptr && WaitPumping(g_reported, kLensUpWait);
    close(thread);
    engine.Reset();
    return reported && GetModuleHandleA(QX_ENGINE_LIBRARY) == nullptr;
}

SoakResult SoakEngine(int cycles) {
    SoakResult result;
    result.codesSeen = true;
    UniqueHandle reported(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    g_reported = reported.Get();
    PublishedOwner owner;
    SettingsRecord record;
    SetDefaultSettings(&record);
    LensSizes sizes;
    DeriveSourceSize(&record, &sizes);
    const std::string library = ProgramFolder() + "\\" + QX_ENGINE_LIBRARY;
    std::printf("soak engine: %s loaded, started, closed and freed %d times\n", library.c_str(),
                cycles);
    for (int i = 1; i <= cycles && result.ok; ++i) {
        Cycle cycle;
        const double start = NowMs();
        const LONG upBefore = g_codes[kNotifyLensUp];
        result.ok = RunEngineOnce(library, &record);
        result.lensUp += g_codes[kNotifyLensUp] > upBefore ? 1 : 0;
        cycle.ms = NowMs() - start;
        result.ok = result.ok &&
                    TakeSettledCensus(GetCurrentProcess(), GetCurrentProcessId(), &cycle.census);
        result.cycles.push_back(cycle);
        PrintCycle(i, cycle);
    }
    for (int code = 0; code <= kNotifyLensUp + 1; ++code) {
        result.codes[code] = g_codes[code];
    }
    return result;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "both";
    const int cycles = argc > 2 ? std::atoi(argv[2]) : 1000;
    if ((mode != "tray" && mode != "engine" && mode != "both") || cycles <= kWarmUpCycles) {
        std::printf("usage: vexlume_soak [tray|engine|both] [cycles > %d]\n", kWarmUpCycles);
        return 2;
    }
    bool passed = true;
    if (mode != "engine") {
        passed &= PrintSummary("tray", SoakTray(cycles));
    }
    if (mode != "tray") {
        passed &= PrintSummary("engine", SoakEngine(cycles));
    }
    return passed ? 0 : 1;
}
