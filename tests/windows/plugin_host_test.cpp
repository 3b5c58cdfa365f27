// The engine's plug-in host through its own functions, with test plug-ins copied into a plug-in
// folder of the test's own: which files are loaded, what they are offered, the order of the
// filters, release and unloading, and plug-ins that fault.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "error_reporter.h"
#include "plugin_exports.h"
#include "plugin_folder.h"
#include "test_plugin_folders.h"
#include "plugin_host.h"
#include "scoped_handles.h"
#include "test_support.h"

namespace {

using Calls = std::vector<std::string>;

// A frame as the engine locks it: 32-bit pixels, rows further apart than their width.
struct Frame {
    static constexpr uint32_t kWidth = 4;
    static constexpr uint32_t kHeight = 2;
    static constexpr uint32_t kStride = 6;
    explicit Frame(uint32_t first) {
        pixels[0] = first;
        description.dwSize = sizeof(description);
        description.dwHeight = kHeight;
        description.dwWidth = kWidth;
        description.lPitch = kStride * 4;
        description.lpSurface = pixels.data();
        description.ddpfPixelFormat.dwRGBBitCount = 32;
    }
    std::vector<uint32_t> pixels = std::vector<uint32_t>(kStride * kHeight, 0xFF808080u);
    DDSURFACEDESC description = {};
};

bool Loaded(const std::string& name) {
    return GetModuleHandleA(name.c_str()) != nullptr;
}

class PluginHost : public ::testing::Test {
protected:
    void SetUp() override { ClearRecordedCalls(); }
    void Start(const PluginFolder& folder, int lensHeight = 128, int lensWidth = 256) {
        ReservePluginTable(&table, CountPluginFiles(folder.Path()));
        LoadPluginFiles(&table, folder.Path(), lensHeight, lensWidth);
    }
    // The entry points recorded, as "<file> <entry point>", of the files whose names start
    // with `prefix`.
    static Calls EntryPoints(const std::string& prefix = "") {
        Calls calls;
        for (const std::string& call : RecordedCallsStartingWith(prefix)) {
            const size_t end = call.find(' ', call.find(' ') + 1);
            calls.push_back(call.substr(0, end));
        }
        return calls;
    }
    // The recorded calls of one entry point, whole.
    static Calls CallsOf(const char* entryPoint) {
        Calls calls;
        for (const std::string& call : RecordedCalls()) {
            if (call.find(std::string(" ") + entryPoint) != std::string::npos) {
                calls.push_back(call);
            }
        }
        return calls;
    }
    // A folder that outlives the test's plug-ins, so that their files can be deleted.
    const PluginFolder& NewFolder(size_t pathLength = 0) {
        folders.push_back(std::make_unique<PluginFolder>(pathLength));
        return *folders.back();
    }
    std::vector<std::unique_ptr<PluginFolder>> folders;
    PluginTable table;
};

TEST_F(PluginHost, OffersTheLensToEveryCompletePluginAndKeepsThoseThatAccept) {
    const PluginFolder& folder = NewFolder();
    folder.Add("recorder", "recorder.dll");
    folder.Add("decliner", "decliner.dll");
    folder.Add("no_release", "no_release.dll");
    folder.Add("taker", "taker.dll");
    folder.Add("recorder", "switched_off.lib");
    folder.Add("recorder", "renamed.dllx");
    CreateDirectoryA((std::string(folder.Path()) + "\\folder.dll").c_str(), nullptr);

    Start(folder);
    EXPECT_EQ(4u, table.count) << "the .lib, .dllx and folder are no plug-ins";
    Calls inits = CallsOf("vxpiInit");
    std::sort(inits.begin(), inits.end());
    EXPECT_EQ((Calls{"decliner.dll vxpiInit 128 256 32", "recorder.dll vxpiInit 128 256 32",
                     "taker.dll vxpiInit 128 256 32"}),
              inits)
        << "height first; a plug-in without vxpiRelease is never initialised";
    EXPECT_FALSE(Loaded("decliner.dll")) << "freed at once";
    EXPECT_FALSE(Loaded("no_release.dll"));
    EXPECT_FALSE(Loaded("switched_off.lib"));
    EXPECT_TRUE(Loaded("recorder.dll"));
    EXPECT_TRUE(PluginsActive(table));
    EXPECT_TRUE(PluginsTakeOver(table));

    ClearRecordedCalls();
    Frame frame(0xFF123456u);
    FilterFrame(&table, &frame.description);
    FilterFrame(&table, &frame.description);
    ReleasePlugins(&table);
    ReleasePlugins(&table);
    Calls active; // in table order
    for (const std::string& name : folder.Names("*.dll")) {
        if (name == "recorder.dll" || name == "taker.dll") {
            active.push_back(name);
        }
    }
    Calls expected;
    for (const char* entryPoint : {" vxpiFilter", " vxpiFilter", " vxpiRelease"}) {
        for (const std::string& name : active) {
            expected.push_back(name + entryPoint);
        }
    }
    EXPECT_EQ(expected, EntryPoints()) << "filters and releases in table order, release once";
    EXPECT_EQ("recorder.dll vxpiFilter size=108 4x2 bits=32 others=0 opaque=1 first=FF123456",
              RecordedCallsStartingWith("recorder.dll vxpiFilter").front())
        << "no engine library in this program: no cursor and zoom";
    EXPECT_FALSE(Loaded("recorder.dll"));
    EXPECT_FALSE(Loaded("taker.dll"));
    EXPECT_FALSE(PluginsActive(table));
    EXPECT_EQ(0u, table.count);
}

TEST_F(PluginHost, EachFilterSeesWhatTheOnesBeforeItLeft) {
    const PluginFolder& folder = NewFolder();
    folder.Add("recorder", "a.dll");
    folder.Add("inverter", "b.dll");
    folder.Add("recorder", "c.dll");
    Start(folder);
    Frame frame(0xFF102030u);
    FilterFrame(&table, &frame.description);

    Calls expected;
    uint32_t seen = 0xFF102030u;
    for (const std::string& name : folder.Names("*.dll")) {
        char line[128];
        std::snprintf(line, sizeof(line),
                      "%s vxpiFilter size=108 4x2 bits=32 others=0 opaque=1 first=%08X",
                      name.c_str(), static_cast<unsigned>(seen));
        expected.push_back(line);
        if (name == "b.dll") {
            seen ^= 0x00FFFFFFu;
        }
    }
    EXPECT_EQ(expected, CallsOf("vxpiFilter"));
    EXPECT_EQ(0xFFEFDFCFu, frame.pixels[0]) << "the frame keeps the inverter's change";
}

TEST_F(PluginHost, NoPluginFilesGiveNoTable) {
    const PluginFolder& empty = NewFolder();
    const PluginFolder& switchedOff = NewFolder();
    switchedOff.Add("recorder", "recorder.lib");
    switchedOff.Add("recorder", "notes.txt");
    // A folder that cannot be had is an empty path; the current directory is never searched.
    const PluginFolder& current = NewFolder();
    current.Add("recorder", "recorder.dll");
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(current.Path()));
    for (const char* folder : {empty.Path(), switchedOff.Path(), ""}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(0u, CountPluginFiles(folder));
        ReservePluginTable(&table, CountPluginFiles(folder));
        LoadPluginFiles(&table, folder, 128, 256);
        EXPECT_EQ(nullptr, table.records.get());
        EXPECT_FALSE(PluginsActive(table)) << "no frame is locked for filtering";
    }
    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(RecordedCalls().empty());
}

TEST_F(PluginHost, FilesAddedAfterTheCountAreLeftOut) {
    const PluginFolder& folder = NewFolder();
    folder.Add("recorder", "first.dll");
    ReservePluginTable(&table, CountPluginFiles(folder.Path()));
    for (const char* name : {"second.dll", "third.dll", "fourth.dll"}) {
        folder.Add("recorder", name);
    }
    LoadPluginFiles(&table, folder.Path(), 128, 256);
    EXPECT_EQ(1u, table.capacity);
    EXPECT_EQ(1u, table.count);
    EXPECT_EQ(1u, CallsOf("vxpiInit").size());
}

TEST_F(PluginHost, APathTooLongForItsBufferIsNotLoaded) {
    // 236 characters of folder: "\\short.dll" fits in 260 with its terminator, the long name
    // does not. The long file is made through the unlimited wide-character path.
    const PluginFolder& folder = NewFolder(236);
    ASSERT_EQ(236u, std::string(folder.Path()).size());
    folder.Add("recorder", "short.dll");
    const std::string longName = "a-name-far-too-long-for-the-path.dll";
    const std::string from = ProgramFolder() + "\\test_plugins\\recorder.dll";
    const std::string to = std::string("\\\\?\\") + folder.Path() + "\\" + longName;
    ASSERT_TRUE(CopyFileW(std::wstring(from.begin(), from.end()).c_str(),
                          std::wstring(to.begin(), to.end()).c_str(), FALSE));

    Start(folder);
    EXPECT_EQ(2u, table.count);
    EXPECT_EQ(Calls{"short.dll vxpiInit"}, EntryPoints());
    ReleasePlugins(&table);
    DeleteFileW(std::wstring(to.begin(), to.end()).c_str());
}

// A run loads from "Plug-Ins" in the application-data folder; when that folder cannot be had
// (here: too deep for 260 characters) it loads nothing, not even from the current directory.
TEST_F(PluginHost, StartLoadsFromTheApplicationDataFolderOrNothing) {
    const PluginFolder& appData = NewFolder();
    const PluginFolder& deepAppData = NewFolder(236);
    const PluginFolder& current = NewFolder();
    current.Add("recorder", "current.dll");
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(current.Path()));
    for (const PluginFolder* folder : {&appData, &deepAppData}) {
        SCOPED_TRACE(folder->Path());
        ClearRecordedCalls();
        RedirectedAppData redirected(folder->Path());
        char plugins[kPathCapacity];
        const int composed = ComposePluginFolder(plugins);
        const std::string expected = std::string(folder->Path()) + "\\Drelmont\\Vexlume\\Plug-Ins";
        if (composed) {
            EXPECT_EQ(expected, plugins);
            ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\test_plugins\\recorder.dll").c_str(),
                                  (expected + "\\plugins.dll").c_str(), FALSE));
        } else {
            EXPECT_STREQ("", plugins);
        }
        StartPlugins(&table, 128, 256);
        EXPECT_EQ(composed ? Calls{"plugins.dll vxpiInit"} : Calls{}, EntryPoints());
        ReleasePlugins(&table);
        const std::string made = std::string(folder->Path()) + "\\Drelmont";
        DeleteFileA((expected + "\\plugins.dll").c_str());
        for (const char* level : {"\\Vexlume\\Plug-Ins", "\\Vexlume", ""}) {
            RemoveDirectoryA((made + level).c_str());
        }
    }
    SetCurrentDirectoryA(previous);
}

// The filters we ship, as the engine loads them: each accepts the lens and changes the frame in
// place; the pixel routines themselves are tested on their own.
TEST_F(PluginHost, ShippedFiltersChangeTheFrameInPlace) {
    const struct {
        const char* file;
        uint32_t in;
        uint32_t out;
    } cases[] = {
        {"Invert Colours.dll", 0xFF102030u, 0xFFEFDFCFu},
        {"Grayscale.dll", 0xFF336699u, 0xFF5C5C5Cu},
        {"Yellow on Black.dll", 0xFF000000u, 0xFFFFFF00u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const PluginFolder& folder = NewFolder();
        folder.Copy(std::string("plugins\\") + c.file, c.file);
        Start(folder, Frame::kHeight, Frame::kWidth);
        ASSERT_TRUE(PluginsActive(table));
        EXPECT_FALSE(PluginsTakeOver(table));
        Frame frame(c.in);
        for (uint32_t& pixel : frame.pixels) {
            pixel = c.in;
        }
        FilterFrame(&table, &frame.description);
        ReleasePlugins(&table);
        for (size_t i = 0; i < frame.pixels.size(); ++i) {
            const bool inRow = i % Frame::kStride < Frame::kWidth;
            EXPECT_EQ(inRow ? c.out : c.in, frame.pixels[i]) << i;
        }
    }
}

// A plug-in that faults in an entry point is reported with its file name and the exception's
// code and gets no further call; the process, the caller's state and the other plug-ins go on.
struct FaultCase {
    const char* variant;
    const char* report; // "" when the plug-in handles its own fault
    Calls calls;        // what the faulty plug-in is called with over two frames and the end
};

TEST_F(PluginHost, APluginThatFaultsIsSwitchedOffAndReported) {
    const FaultCase cases[] = {
        {"fault_init",
         "FAILED - vxpiInit - faulty.dll|-1073741819|magnifier",
         {"faulty.dll vxpiInit"}},
        {"fault_filter",
         "FAILED - vxpiFilter - faulty.dll|-1073741819|magnifier",
         {"faulty.dll vxpiInit", "faulty.dll vxpiFilter"}},
        {"fault_release",
         "FAILED - vxpiRelease - faulty.dll|-1073741819|magnifier",
         {"faulty.dll vxpiInit", "faulty.dll vxpiFilter", "faulty.dll vxpiFilter",
          "faulty.dll vxpiRelease"}},
        {"overflow",
         "FAILED - vxpiFilter - faulty.dll|-1073741571|magnifier",
         {"faulty.dll vxpiInit", "faulty.dll vxpiFilter"}},
        {"raiser",
         "FAILED - vxpiFilter - faulty.dll|-536870911|magnifier",
         {"faulty.dll vxpiInit", "faulty.dll vxpiFilter"}},
        {"prober",
         "",
         {"faulty.dll vxpiInit", "faulty.dll vxpiFilter", "faulty.dll probe",
          "faulty.dll vxpiFilter", "faulty.dll probe", "faulty.dll vxpiRelease"}},
    };
    PreloadedFake sender("qxsender", "full");
    StartErrorReporter();
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.variant);
        ClearRecordedCalls();
        const PluginFolder& folder = NewFolder();
        folder.Add(c.variant, "faulty.dll");
        folder.Add("recorder", "healthy.dll");
        Start(folder);
        Frame frame(0xFF000000u);
        FilterFrame(&table, &frame.description);
        volatile double tenth = 0.1;
        EXPECT_DOUBLE_EQ(0.3, tenth + 0.2) << "floating point works after the fault";
        FilterFrame(&table, &frame.description);
        ReleasePlugins(&table);

        EXPECT_EQ(c.calls, EntryPoints("faulty.dll"));
        EXPECT_EQ((Calls{"healthy.dll vxpiInit", "healthy.dll vxpiFilter", "healthy.dll vxpiFilter",
                         "healthy.dll vxpiRelease"}),
                  EntryPoints("healthy.dll"));
        EXPECT_EQ(c.report[0] == '\0' ? Calls{} : Calls{std::string("qxRecordError ") + c.report},
                  RecordedCallsStartingWith("qxRecordError "));
        EXPECT_FALSE(Loaded("faulty.dll"));
        EXPECT_FALSE(Loaded("healthy.dll"));
    }
    StopErrorReporter();
}

// What a plug-in reads from inside vxpiFilter: the values the frame loop published last.
TEST(PluginExports, AnswerWithTheLastPublishedFrame) {
    UniqueModule library(LoadLibraryA((ProgramFolder() + "\\qxmagnifier.dll").c_str()));
    const QxvxpiGetCursorPosFn exportedCursor =
        BindProc<QxvxpiGetCursorPosFn>(library.Get(), "qxvxpiGetCursorPos");
    const QxvxpiGetSizePixelFn exportedSize =
        BindProc<QxvxpiGetSizePixelFn>(library.Get(), "qxvxpiGetSizePixel");
    ASSERT_NE(nullptr, exportedCursor) << "exported by its plain name";
    ASSERT_NE(nullptr, exportedSize);

    LensView view;
    view.zoomX = 2.0;
    view.zoomY = 2.5;
    view.cursorInLens = {127, 63};
    PublishPluginView(view);
    struct Exports {
        QxvxpiGetCursorPosFn cursor;
        QxvxpiGetSizePixelFn size;
        POINT position;
        double zoom[2];
    };
    const Exports cases[] = {
        {exportedCursor, exportedSize, {0, 0}, {1.0, 1.0}}, // a freshly loaded engine
        {qxvxpiGetCursorPos, qxvxpiGetSizePixel, {127, 63}, {2.0, 2.5}},
    };
    for (const Exports& c : cases) {
        POINT position = {-7, -7};
        double zoom[2] = {0, 0};
        EXPECT_EQ(&position, c.cursor(&position));
        EXPECT_EQ(&zoom[0], c.size(&zoom[0], &zoom[1]));
        EXPECT_EQ(c.position.x, position.x);
        EXPECT_EQ(c.position.y, position.y);
        EXPECT_EQ(c.zoom[0], zoom[0]);
        EXPECT_EQ(c.zoom[1], zoom[1]);
        EXPECT_EQ(nullptr, c.cursor(nullptr)) << "a null pointer is not written through";
        EXPECT_EQ(nullptr, c.size(nullptr, nullptr));
    }
}

} // namespace
