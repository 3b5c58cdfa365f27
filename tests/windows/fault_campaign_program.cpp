// The real tray program with the real engine beside it, started over a fault: Direct3D
// unavailable, the largest lens the settings allow, a plug-in folder full of junk (and dozens of
// plug-ins that work, a thousand in the long run), settings files of every kind. Each case switches
// the lens on and off through the program's own command, opens the tray menu where plug-ins are
// concerned, and exits; the program's folder and the application-data folder must be as they were
// before.
#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include "../plugins/plugin_call_counts.h"
#include "appdata_folder.h"
#include "fault_campaign.h"
#include "scoped_handles.h"
#include "test_support.h"
#include "vexlume_process.h"

namespace {

constexpr unsigned kToggleCommand = 8002;
constexpr unsigned kExitCommand = 2;
constexpr UINT kTrayMessage = 15000;
constexpr UINT kFirstPluginCommand = 10000;
constexpr UINT kGetMorePluginsCommand = 11025;
const char kEngineModule[] = "qxmagnifier.dll";

enum class Lens { On, Off, OnOrOff };

std::string AppDataFolder() {
    char path[kPathCapacity];
    ComposeAppDataFolder(path, nullptr);
    return path;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    UniqueFile file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void WriteSettingsBytes(const std::string& bytes) {
    WriteFileBytes(AppDataFolder() + "\\settings.dat", bytes);
}

std::string RecordBytes(const SettingsRecord& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof(record));
}

// The plug-in commands the tray menu lists (opened by a click posted behind whatever the
// program posted itself, and closed again on Escape), or -1 when it did not open.
int ListedPlugins(const VexlumeProcess& program, CampaignRow* row) {
    program.Post(kTrayMessage, 333, WM_RBUTTONUP);
    HWND menu = WaitForPopupMenu();
    Expect(row, menu != nullptr, "the tray menu did not open");
    if (menu == nullptr) {
        return -1;
    }
    int listed = 0;
    bool getMore = false;
    for (const MenuItemSeen& item : ReadOpenMenu(menu)) {
        listed += item.depth == 1 && item.id >= kFirstPluginCommand && item.id < 11024 ? 1 : 0;
        getMore = getMore || item.id == kGetMorePluginsCommand;
    }
    Expect(row, getMore, "no \"Get more Plug-Ins...\" in the menu");
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    Expect(row, WaitUntil([menu] { return !IsWindowVisible(menu); }),
           "the menu did not close on Escape");
    return listed;
}

// One case of the tray program: `prepare` lays out the files before the program starts;
// `whileOn` runs while the lens is on, `after` once the program has ended and its files have
// been compared. `progress`, when given, changes while the program works through the case's
// files: the waits go on as long as it does.
struct ProgramCase {
    std::string kind;
    std::string done;
    std::function<void()> prepare;
    Lens expected;
    std::function<void(const VexlumeProcess&, CampaignRow*)> whileOn;
    std::function<void(CampaignRow*)> after;
    std::function<long long()> progress;
};

// Starts the program, switches the lens on (unless the settings did so at start) and off
// again, and exits; the row tells what was seen.
void SwitchLensInProgram(const ProgramCase& c, const ProgramCopy& copy, CampaignRow* row) {
    VexlumeProcess program(copy.Program());
    if (program.WaitForMainWindow() == nullptr) {
        Expect(row, false, "the program did not come up");
        row->state = program.Running() ? "not answering" : "ended";
        return;
    }
    // A lens the settings switch on at start is switched on by a command posted before the
    // message loop runs: handled once the menu, opened by a click posted after it, has opened.
    ListedPlugins(program, row);
    const bool onAtStart = program.HasModule(kEngineModule);
    if (!onAtStart) {
        Expect(row, program.RunCommand(kToggleCommand), "On/Off not answered");
    }
    auto switchedOff = [&] {
        return !program.HasModule(kEngineModule) && !LensWindowShown(program.Id());
    };
    Lens seen = Lens::OnOrOff;
    WaitUntil(
        [&] {
            if (LensWindowShown(program.Id())) {
                seen = Lens::On;
            } else if (!program.HasModule(kEngineModule)) {
                seen = Lens::Off;
            }
            return seen != Lens::OnOrOff;
        },
        c.progress);
    row->notifications = seen == Lens::On    ? "4: lens shown"
                         : seen == Lens::Off ? "0: lens off"
                                             : "none";
    Expect(row, seen != Lens::OnOrOff, "neither a lens nor a switch-off (a silent failure)");
    Expect(row, c.expected == Lens::OnOrOff || seen == c.expected,
           c.expected == Lens::On ? "the lens did not come up" : "the lens did not go off");
    if (seen == Lens::On && c.whileOn) {
        c.whileOn(program, row);
    }
    // A lens that went off by itself is tried once more, as a user would.
    const bool offAgain = seen == Lens::Off && program.RunCommand(kToggleCommand) &&
                          WaitUntil(switchedOff, c.progress);
    Expect(row, seen != Lens::Off || offAgain, "a second try did not end off");
    const bool answers = program.Answers();
    Expect(row, answers, "the program does not answer");
    if (seen == Lens::On) {
        // Posted: the switch-off releases every plug-in on the main thread.
        program.PostCommand(kToggleCommand);
        Expect(row, WaitUntil(switchedOff, c.progress) && program.Answers(),
               "the lens did not switch off");
    }
    program.PostCommand(kExitCommand);
    DWORD code = 1;
    const bool exited = WaitUntil([&] { return !program.Running(); }, c.progress) &&
                        program.WaitForExit(&code) && code == 0;
    Expect(row, exited, "no clean exit with code 0");
    row->state = std::string(onAtStart ? "on at start, " : "") +
                 (seen == Lens::On    ? "lens on and off"
                  : seen == Lens::Off ? "lens off by itself, twice"
                                      : "no lens, not off") +
                 (answers ? "; answers" : "; NO ANSWER") + (exited ? "; exit 0" : "; NO EXIT");
}

// Lays out the case's files, runs the program over them and checks that the application-data
// and program folders are as they were.
CampaignRow RunProgramCase(const ProgramCase& c) {
    CampaignRow row;
    row.done = c.done;
    ResetProgramState();
    c.prepare();
    ProgramCopy copy(EngineBeside::Real);
    const FolderSnapshot before = SnapshotFolder(AppDataFolder());
    const FolderSnapshot programBefore = SnapshotFolder(copy.Folder());
    SwitchLensInProgram(c, copy, &row);
    row.filesUnchanged =
        SnapshotFolder(AppDataFolder()) == before && SnapshotFolder(copy.Folder()) == programBefore;
    Expect(&row, row.filesUnchanged, "a file changed that the user did not change");
    if (c.after) {
        c.after(&row);
    }
    return row;
}

// ---- plug-ins

// The test plug-ins that lie in the plug-in folder, with the calls each must see in a run of
// the lens: -1 for "at least one".
struct PluginCopy {
    const char* variant;
    const char* name;
    PluginCallCounts expected;
};

const PluginCopy kJunkPlugins[] = {
    {"recorder", "good.dll", {1, -1, 1}},
    {"inverter", "inverter.dll", {1, -1, 1}},
    {"fault_init", "fault_init.dll", {1, 0, 0}},
    {"fault_filter", "fault_filter.dll", {1, 1, 0}},
    {"fault_release", "fault_release.dll", {1, -1, 1}},
    {"raiser", "raiser.dll", {1, 1, 0}},
    {"overflow", "overflow.dll", {1, 1, 0}},
    {"decliner", "decliner.dll", {1, 0, 0}},
    {"no_release", "no_release.dll", {0, 0, 0}},
    {"fault_attach", "fault_attach.dll", {0, 0, 0}},
};
// A zero-byte file, a text, the first 4 KiB of a library and a program, all named .dll, and a
// folder named x.dll.
constexpr int kJunkFiles = 5;

// The shared blocks the plug-ins count their calls in, made before the program starts.
class CallCounters {
public:
    PluginCallCounts* Make(const std::string& fileName) {
        char name[MAX_PATH + 32];
        PluginCallCountsName(name, sizeof(name), fileName.c_str());
        HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(PluginCallCounts), name);
        mappings_.emplace_back(mapping);
        auto* counts = static_cast<PluginCallCounts*>(
            MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(PluginCallCounts)));
        views_.emplace_back(counts);
        std::memset(counts, 0, sizeof(*counts));
        return counts;
    }

private:
    std::vector<UniqueHandle> mappings_;
    std::vector<UniqueView> views_;
};

bool CountsAsExpected(const PluginCallCounts& seen, const PluginCallCounts& expected) {
    auto match = [](LONG count, LONG wanted) { return wanted < 0 ? count > 0 : count == wanted; };
    return match(seen.init, expected.init) && match(seen.filter, expected.filter) &&
           match(seen.release, expected.release);
}

std::string CountsText(const PluginCallCounts& counts) {
    return std::to_string(counts.init) + "/" + std::to_string(counts.filter) + "/" +
           std::to_string(counts.release);
}

void CopyTestPlugin(const char* variant, const std::string& name) {
    CopyFileA((ProgramFolder() + "\\test_plugins\\" + variant + ".dll").c_str(),
              (PluginFolder() + "\\" + name).c_str(), FALSE);
}

void LayOutJunk() {
    const std::string folder = PluginFolder();
    WriteFileBytes(folder + "\\empty.dll", "");
    WriteFileBytes(folder + "\\notes.dll", "not a library, only named like one\r\n");
    CreateDirectoryA((folder + "\\x.dll").c_str(), nullptr);
    WriteFileBytes(folder + "\\cut.dll",
                   FileContent(ProgramFolder() + "\\test_plugins\\recorder.dll").substr(0, 4096));
    CopyFileA((ProgramFolder() + "\\clipboard_probe.exe").c_str(),
              (folder + "\\program.dll").c_str(), FALSE);
    for (const PluginCopy& plugin : kJunkPlugins) {
        CopyTestPlugin(plugin.variant, plugin.name);
    }
}

std::string NumberedPlugin(int i) {
    char name[32];
    wsprintfA(name, "p%04d.dll", i);
    return name;
}

// The junk folder, with `extra` copies of a plug-in that works besides: every plug-in that
// works runs, every broken one is skipped or switched off at its fault, and the menu lists every
// name once.
ProgramCase PluginFolderCase(const std::string& done, int extra,
                             std::shared_ptr<CallCounters> counters) {
    struct Observed {
        std::string name;
        PluginCallCounts* counts;
        PluginCallCounts expected;
    };
    auto observed = std::make_shared<std::vector<Observed>>();
    ProgramCase c;
    c.kind = "plug-in folder full of junk";
    c.done = done;
    c.expected = Lens::On;
    c.prepare = [extra, counters, observed] {
        LayOutJunk();
        for (const PluginCopy& plugin : kJunkPlugins) {
            observed->push_back({plugin.name, counters->Make(plugin.name), plugin.expected});
        }
        for (int i = 0; i < extra; ++i) {
            CopyTestPlugin("recorder", NumberedPlugin(i));
            observed->push_back({NumberedPlugin(i), counters->Make(NumberedPlugin(i)), {1, -1, 1}});
        }
    };
    // Progress is a plug-in reaching an entry point for the first time: frames filtered over
    // and over by the same plug-ins are no progress towards anything a wait waits for.
    c.progress = [observed] {
        long long reached = 0;
        for (const Observed& plugin : *observed) {
            reached += (plugin.counts->init > 0) + (plugin.counts->filter > 0) +
                       (plugin.counts->release > 0);
        }
        return reached;
    };
    c.whileOn = [extra, observed, progress = c.progress](const VexlumeProcess& program,
                                                         CampaignRow* row) {
        // Every plug-in that works filters frames while the lens is on.
        WaitUntil(
            [&] {
                for (const Observed& plugin : *observed) {
                    if (plugin.expected.filter < 0 && plugin.counts->filter == 0) {
                        return false;
                    }
                }
                return true;
            },
            progress);
        const int listed = ListedPlugins(program, row);
        const int names = static_cast<int>(std::size(kJunkPlugins)) + kJunkFiles + extra;
        Expect(row, listed == names,
               "the menu lists " + std::to_string(listed) + " of " + std::to_string(names));
    };
    c.after = [observed](CampaignRow* row) {
        int ran = 0;
        for (const Observed& plugin : *observed) {
            ran += plugin.counts->filter > 0 ? 1 : 0;
            Expect(row, CountsAsExpected(*plugin.counts, plugin.expected),
                   plugin.name + " saw init/filter/release " + CountsText(*plugin.counts));
        }
        row->state += "; " + std::to_string(ran) + " plug-ins filtered";
        RemoveDirectoryA((PluginFolder() + "\\x.dll").c_str());
    };
    return c;
}

// ---- settings files

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

std::string WithHeader(std::string bytes) {
    const SettingsRecord defaults = FirstRunSettings();
    const std::string header = RecordBytes(defaults).substr(0, 8);
    bytes.replace(0, std::min(bytes.size(), header.size()), header, 0,
                  std::min(bytes.size(), header.size()));
    return bytes;
}

// A record the user saved, with values other than the defaults.
std::string SavedRecord() {
    SettingsRecord record = FirstRunSettings();
    record.engine.lensWidth = 320;
    record.engine.lensHeight = 160;
    record.engine.zoom = 3.0f;
    record.engine.frameWait = 15;
    return RecordBytes(record);
}

ProgramCase SettingsCase(const std::string& done, const std::string& bytes) {
    return {"settings file", done,   [bytes] { WriteSettingsBytes(bytes); }, Lens::On, nullptr,
            nullptr,         nullptr};
}

void AddSettingsCases(std::vector<ProgramCase>* cases, bool longRun) {
    const std::string saved = SavedRecord();
    const std::vector<size_t> recordSizes = {0, 8, 123, 124, 125, 200};
    const std::vector<size_t> randomSizes = {1, 124, 200};
    const std::vector<size_t> headerSizes = {8, 124, 125, 200};
    const int headerSeeds = longRun ? 20 : 3;
    for (size_t size = 0; size <= 200; ++size) {
        auto sampled = [&](const std::vector<size_t>& sizes) {
            return longRun || std::find(sizes.begin(), sizes.end(), size) != sizes.end();
        };
        const std::string n = std::to_string(size) + " bytes";
        if (sampled(recordSizes)) {
            std::string bytes = saved;
            bytes.resize(size, '\0');
            cases->push_back(
                SettingsCase(n + (size < saved.size()    ? ": a saved record cut"
                                  : size == saved.size() ? ": a saved record"
                                                         : ": a saved record padded with zeros"),
                             bytes));
        }
        if (sampled(randomSizes) && size > 0) {
            cases->push_back(SettingsCase(n + ": random (seed " + std::to_string(size) + ")",
                                          RandomBytes(size, static_cast<unsigned>(size))));
        }
        const int seeds = size == saved.size() ? headerSeeds : 1;
        for (int seed = 0; seed < seeds && sampled(headerSizes) && size >= 4; ++seed) {
            const unsigned value = static_cast<unsigned>(1000 + size * 100 + seed);
            cases->push_back(
                SettingsCase(n + ": valid header, random rest (seed " + std::to_string(value) + ")",
                             WithHeader(RandomBytes(size, value))));
        }
    }
}

// Stored files in places that cannot be read or written as usual.
void AddUnusableFileCases(std::vector<ProgramCase>* cases) {
    const std::string settings = AppDataFolder() + "\\settings.dat";
    const std::string plugins = AppDataFolder() + "\\Plug-Ins";
    auto held = std::make_shared<UniqueFile>();
    cases->push_back({"plug-in folder full of junk", "a file named Plug-Ins instead of the folder",
                      [plugins] {
                          RemoveDirectoryA(plugins.c_str());
                          WriteFileBytes(plugins, "not a folder");
                      },
                      Lens::On,
                      [](const VexlumeProcess& program, CampaignRow* row) {
                          Expect(row, ListedPlugins(program, row) == 0, "plug-ins listed");
                      },
                      [plugins](CampaignRow*) { DeleteFileA(plugins.c_str()); }, nullptr});
    cases->push_back({"settings file", "settings.dat is a folder",
                      [settings] { CreateDirectoryA(settings.c_str(), nullptr); }, Lens::On,
                      nullptr, [settings](CampaignRow*) { RemoveDirectoryA(settings.c_str()); },
                      nullptr});
    cases->push_back(
        {"settings file", "settings.dat read-only, a saved record",
         [settings] {
             WriteSettingsBytes(SavedRecord());
             SetFileAttributesA(settings.c_str(), FILE_ATTRIBUTE_READONLY);
         },
         Lens::On, nullptr,
         [settings](CampaignRow*) { SetFileAttributesA(settings.c_str(), FILE_ATTRIBUTE_NORMAL); },
         nullptr});
    cases->push_back({"settings file", "settings.dat held open without sharing, a saved record",
                      [settings, held] {
                          WriteSettingsBytes(SavedRecord());
                          held->Reset(CreateFileA(settings.c_str(), GENERIC_READ, 0, nullptr,
                                                  OPEN_EXISTING, 0, nullptr));
                      },
                      Lens::On, nullptr, [held](CampaignRow*) { held->Reset(); }, nullptr});
}

} // namespace

void RunProgramCases(CampaignTable* table, bool longRun) {
    std::vector<ProgramCase> cases;
    SettingsRecord largest = FirstRunSettings();
    largest.engine.lensWidth = 16384;
    largest.engine.lensHeight = 16384;
    std::unique_ptr<NoDirect3DFor> noDirect3D;
    if (UnderWine()) {
        cases.push_back({"Direct3D unavailable",
                         "tray program, Wine's renderer \"no3d\", saved settings",
                         [&noDirect3D] {
                             WriteSettingsBytes(SavedRecord());
                             noDirect3D = std::make_unique<NoDirect3DFor>("Vexlume.exe");
                         },
                         Lens::Off, nullptr, nullptr, nullptr});
    }
    cases.push_back({"lens larger than the largest texture",
                     "tray program, settings with the largest lens 16384 x 16384",
                     [&largest] { WriteSettingsBytes(RecordBytes(largest)); }, Lens::OnOrOff,
                     nullptr, nullptr, nullptr});
    auto counters = std::make_shared<CallCounters>();
    cases.push_back(PluginFolderCase(
        "junk named .dll, a folder x.dll, plug-ins faulting in every entry", 0, counters));
    const int working = longRun ? 1000 : 40;
    cases.push_back(PluginFolderCase(
        "the same and " + std::to_string(working) + " plug-ins that work", working, counters));
    AddUnusableFileCases(&cases);
    AddSettingsCases(&cases, longRun);

    std::string kind;
    for (const ProgramCase& c : cases) {
        if (c.kind != kind) {
            kind = c.kind;
            table->Section(kind.c_str());
        }
        CampaignRow row = RunProgramCase(c);
        noDirect3D.reset();
        table->Add(row);
    }
    ResetProgramState();
}
