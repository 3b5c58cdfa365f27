// Switches the lens on and off many times and shows what each switch leaves behind.
//
//     vexlume_soak [tray|engine|both] [cycles]        (default: both, 1000 cycles)
//
// tray:   starts a copy of Vexlume.exe with the real engine beside it, switches the lens on
//         (waiting for the lens window) and off with command 8002, and counts what the program's
//         process holds after every switch.
// engine: in this process, loads qxmagnifier.dll, starts the engine (waiting for "lens up"),
//         closes it and frees the library, counting what this process holds after every cycle.
//
// The shipped filters (plugins\*.dll beside this program) lie in the plug-in folder meanwhile,
// and the companion libraries beside the engine, so that every start of the engine loads them
// and every stop frees them: the error log in both soaks, the caret locator in the engine soak,
// whose lens follows the caret. (Not the pointer hider: Wine's SetSystemCursor keeps the
// cursors it is given, which Windows destroys, so every hide would count as a leak here.)
//
// Prints every cycle, then the growth per cycle after the first ten of handles (by type),
// windows, GDI objects, threads, committed private memory and TLS slots, the time per cycle and
// every notification code received. Exit code 1 when anything grows beyond noise.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "process_census.h"
#include "test_support.h"
#include "vexlume_process.h"

namespace {

constexpr int kWarmUpCycles = 10;
// Growth per cycle that counts as noise: a count that moves once in a run, or a heap that grows
// by one block now and then. A leak of one object or of one page per cycle is far above.
constexpr double kCountNoise = 0.2;
constexpr double kMemoryNoise = 4096;
constexpr unsigned kToggleCommand = 8002;
constexpr unsigned kExitCommand = 2;
const char* const kCompanions[] = {"qxsender.dll", "qxhidecursor.dll", "qxgetcaretpos.dll"};

// Only what the summary needs is kept (every cycle is printed as it ends): the engine soak
// counts this very process, so a record growing with every cycle would count as a leak.
struct SoakResult {
    int cycles = 0;
    ProcessCensus warm; // after the warm-up cycles
    ProcessCensus last;
    double warmUpMs = 0;
    double afterMs = 0;
    bool codesSeen = false;             // the engine's reports reach this process
    LONG codes[kNotifyLensUp + 2] = {}; // 0..4, then any other code
    int lensUp = 0;
    bool ok = true;
};

void RecordCycle(SoakResult* result, const ProcessCensus& census, double ms) {
    const int number = ++result->cycles;
    (number <= kWarmUpCycles ? result->warmUpMs : result->afterMs) += ms;
    (number == kWarmUpCycles ? result->warm : result->last) = census;
    std::printf("cycle %4d: handles %4d  windows %3d  gdi %4d  threads %3d  private %7llu KiB  "
                "tls %4d  %7.0f ms\n",
                number, census.handles, census.windows, census.gdiObjects, census.threads,
                static_cast<unsigned long long>(census.privateBytes / 1024), census.tlsSlot, ms);
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
    const int n = result.cycles;
    std::printf("\nsoak %s: %d cycles, growth per cycle after the first %d\n", mode, n,
                kWarmUpCycles);
    if (n <= kWarmUpCycles) {
        std::printf("too few cycles to judge\n");
        return false;
    }
    const ProcessCensus& warm = result.warm;
    const ProcessCensus& last = result.last;
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
    std::printf("time per cycle: %.0f ms in the first %d, %.0f ms after\n",
                result.warmUpMs / kWarmUpCycles, kWarmUpCycles,
                result.afterMs / (n - kWarmUpCycles));
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

bool WaitForLens(DWORD processId) {
    return WaitUntil([processId] { return LensWindowShown(processId); });
}

SoakResult SoakTray(int cycles) {
    SoakResult result;
    ProgramCopy copy(EngineBeside::Real);
    for (const char* companion : kCompanions) {
        copy.Add(companion, companion);
    }
    VexlumeProcess program(copy.Program());
    if (program.WaitForMainWindow() == nullptr) {
        std::printf("Vexlume did not come up (is another one running?)\n");
        result.ok = false;
        return result;
    }
    std::printf("soak tray: Vexlume.exe process %lu, %d switches on and off\n", program.Id(),
                cycles);
    ProcessCensus census;
    while (result.cycles < cycles && result.ok) {
        const double start = NowMs();
        result.ok = program.RunCommand(kToggleCommand);
        result.lensUp += result.ok && WaitForLens(program.Id()) ? 1 : 0;
        result.ok = result.ok && program.RunCommand(kToggleCommand) &&
                    !LensWindowShown(program.Id()) && !program.HasModule(QX_ENGINE_LIBRARY);
        const double ms = NowMs() - start;
        result.ok = result.ok && TakeSettledCensus(program.Handle(), program.Id(), &census);
        RecordCycle(&result, census, ms);
    }
    program.PostCommand(kExitCommand);
    DWORD code = 1;
    if (!program.WaitForExit(&code) || code != 0) {
        std::printf("Vexlume did not end with code 0 on Exit\n");
        result.ok = false;
    }
    return result;
}

// ---- engine: the library loaded, started, closed and freed in this process

bool RunEngineOnce(EngineLibrary& engine, SettingsRecord* record, SoakResult* result) {
    ClearNotifications();
    ClearRecordedCalls();
    engine.Load();
    if (!engine.Loaded()) {
        std::printf("cannot load and bind %s\n", QX_ENGINE_LIBRARY);
        return false;
    }
    HANDLE thread = engine.create(&record->engine, TestCallback);
    const bool up = thread != nullptr && WaitForNotification(kNotifyLensUp);
    engine.close(thread);
    engine.Unload();
    const bool ended = WaitForNotification(kNotifyEnded);
    for (const Notification& notification : Notifications()) {
        const bool known = notification.code >= 0 && notification.code <= kNotifyLensUp;
        ++result->codes[known ? notification.code : kNotifyLensUp + 1];
    }
    result->lensUp += up ? 1 : 0;
    return up && ended && GetModuleHandleA(QX_ENGINE_LIBRARY) == nullptr;
}

SoakResult SoakEngine(int cycles) {
    SoakResult result;
    result.codesSeen = true;
    PublishedOwner owner;
    SettingsRecord record = DefaultRecord();
    record.engine.followFocus = 1;
    EngineLibrary engine;
    engine.Unload();
    std::printf("soak engine: %s loaded, started, closed and freed %d times\n", QX_ENGINE_LIBRARY,
                cycles);
    ProcessCensus census;
    while (result.cycles < cycles && result.ok) {
        const double start = NowMs();
        result.ok = RunEngineOnce(engine, &record, &result);
        const double ms = NowMs() - start;
        result.ok =
            result.ok && TakeSettledCensus(GetCurrentProcess(), GetCurrentProcessId(), &census);
        RecordCycle(&result, census, ms);
    }
    return result;
}

// The shipped filters copied into the plug-in folder, and taken away again at the end.
class InstalledFilters {
public:
    InstalledFilters() {
        WIN32_FIND_DATAA found;
        const std::string shipped = ProgramFolder() + "\\plugins\\";
        HANDLE search = FindFirstFileA((shipped + "*.dll").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return;
        }
        do {
            const std::string target = PluginFolder() + "\\" + found.cFileName;
            if (CopyFileA((shipped + found.cFileName).c_str(), target.c_str(), FALSE)) {
                installed_.push_back(target);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    ~InstalledFilters() {
        for (const std::string& file : installed_) {
            DeleteFileA(file.c_str());
        }
    }
    InstalledFilters(const InstalledFilters&) = delete;
    InstalledFilters& operator=(const InstalledFilters&) = delete;
    size_t Count() const { return installed_.size(); }

private:
    std::vector<std::string> installed_;
};

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "both";
    const int cycles = argc > 2 ? std::atoi(argv[2]) : 1000;
    if ((mode != "tray" && mode != "engine" && mode != "both") || cycles <= kWarmUpCycles) {
        std::printf("usage: vexlume_soak [tray|engine|both] [cycles > %d]\n", kWarmUpCycles);
        return 2;
    }
    const InstalledFilters filters;
    std::printf("%zu shipped filters in the plug-in folder\n", filters.Count());
    bool passed = true;
    if (mode != "engine") {
        passed &= PrintSummary("tray", SoakTray(cycles));
    }
    if (mode != "tray") {
        passed &= PrintSummary("engine", SoakEngine(cycles));
    }
    return passed ? 0 : 1;
}
