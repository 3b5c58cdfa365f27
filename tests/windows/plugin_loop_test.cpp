// Plug-ins in the running engine: test plug-ins and the shipped filters in the plug-in folder of
// an application-data folder of the test's own, the engine run as the main program runs it over
// a known picture. What the plug-ins are offered and on which thread, the order of their calls,
// what the lens shows after them, a plug-in that takes over the display, and plug-ins that fault.
// Which files count as plug-ins and every kind of fault are the host's, in plugin_host_test. The
// filter chosen at a key (FilterChoice, run as filter_choice_test): each choice is taken up by
// the next frame without a restart, a switched-off file as it is; one that faults stays off.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_directdraw.h"
#include "lens_readback.h"
#include "pixel_filters.h"
#include "scoped_handles.h"
#include "test_plugin_folders.h"
#include "screen_pattern.h"
#include "test_support.h"

extern "C" HANDLE WINAPI qxCreateMagnifier(EngineParameters*, EngineCallback);
extern "C" int WINAPI qxCloseMagnifier(HANDLE);

namespace {

using Calls = std::vector<std::string>;

constexpr RECT kPicture = {300, 300, 460, 420};
constexpr POINT kOverPicture = {380, 360};

// The entry points the plug-in file `name` recorded, as "<file> <entry point>", in order.
Calls EntryPointsOf(const std::string& name) {
    Calls calls;
    for (const std::string& call : RecordedCallsStartingWith(name + " vxpi")) {
        calls.push_back(call.substr(0, call.find(' ', name.size() + 1)));
    }
    return calls;
}

size_t FilterCalls(const std::string& name) {
    return RecordedCallsStartingWith(name + " vxpiFilter").size();
}

// Every plug-in call recorded, with the frame's first pixel left out of the filter calls.
Calls PluginCalls() {
    Calls calls;
    for (std::string call : RecordedCalls()) {
        if (call.find(" vxpi") == std::string::npos) {
            continue;
        }
        const size_t first = call.find(" first=");
        if (first != std::string::npos) {
            call.erase(first, 15);
        }
        calls.push_back(call);
    }
    return calls;
}

Calls Reports() {
    return RecordedCallsStartingWith("qxRecordError ");
}

// The engine library, loaded as the main program loads it, running a lens over a picture with
// the plug-ins of `folders`.
class PluginLoop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine.Loaded());
        ASSERT_TRUE(pattern.WaitUntilShown());
        EmptyTheClipboard();
        record.engine.frameWait = 10;
    }
    void TearDown() override {
        Close();
        EmptyTheClipboard();
    }
    // Starts the lens with the pointer at `at` and, as the main program does when the lens is up,
    // raises the brightness to neutral.
    void Start(POINT at = kOverPicture) {
        ClearRecordedCalls();
        ClearNotifications();
        ASSERT_TRUE(MovePointer(at.x, at.y));
        thread = engine.create(&record.engine, TestCallback);
        ASSERT_NE(nullptr, thread);
        engineThread = " thread=" + std::to_string(GetThreadId(thread));
        ASSERT_TRUE(WaitForNotification(kNotifyLensUp));
        engine.brightness(1, 1000 - engine.brightness(0, 0));
    }
    void Close() {
        if (thread != nullptr) {
            EXPECT_EQ(1, engine.close(thread));
            thread = nullptr;
            EXPECT_TRUE(WaitForNotification(kNotifyEnded));
        }
    }
    // The clipboard copy of the lens, taken once the frames show the raised brightness.
    ClipboardImage CopyOfTheLens() {
        EXPECT_TRUE(WaitForFrames(&record, 2));
        StoreShared(record.engine.captureRequest, 1);
        ClipboardImage copy;
        EXPECT_TRUE(WaitForCaptureServed(record));
        EXPECT_TRUE(ReadClipboardElsewhere(&copy));
        return copy;
    }
    // Compares a copy of the one-window lens around kOverPicture with the picture as the lens
    // magnifies it, passed through `filter` when one is given.
    void ExpectMagnifiedPicture(const ClipboardImage& copy, void (*filter)(const PixelRows&)) {
        std::vector<uint32_t> expected = OneWindowLensOf(pixels, kPicture, kOverPicture);
        if (filter != nullptr) {
            filter(PixelRows{reinterpret_cast<uint8_t*>(expected.data()), 256 * 4, 256, 128});
        }
        EXPECT_EQ(0, CopyMismatches(copy, expected));
    }

    PreloadedFake sender{"qxsender", "full"};
    PublishedOwner owner;
    AppDataPlugins folders;
    EngineLibrary engine;
    SettingsRecord record = DefaultRecord();
    std::vector<uint32_t> pixels = DetailPattern(160, 120, 5);
    PatternWindow pattern{kPicture.left, kPicture.top, 160, 120, pixels};
    HANDLE thread = nullptr;
    std::string engineThread; // " thread=<id>" of the magnifier thread
};

TEST_F(PluginLoop, PluginsSeeEveryFrameOnTheMagnifierThreadInTheFolderOrder) {
    const PluginFolder& plugins = folders.plugins;
    plugins.Add("thread_recorder", "first.dll");
    plugins.Add("thread_recorder", "second.dll");
    plugins.Add("decliner", "decliner.dll");
    plugins.Add("no_release", "no_release.dll");
    plugins.Add("thread_recorder", "switched_off.lib");
    record.engine.displayMode = 1; // "Show all": every pixel of the frame is captured
    Start({600, 500});
    ASSERT_TRUE(WaitUntil([] { return FilterCalls("first.dll") >= 3; }));
    Close();

    const size_t frames = FilterCalls("first.dll");
    Calls active;
    Calls expected;
    for (const std::string& name : plugins.Names("*.dll")) {
        if (name == "decliner.dll") {
            expected.push_back(name + " vxpiInit 128 256 32");
        } else if (name != "no_release.dll") {
            expected.push_back(name + " vxpiInit 128 256 32" + engineThread);
            active.push_back(name);
        }
    }
    // The pointer lies in the middle of a lens magnified twice: one lens pixel up and left of
    // its centre.
    for (size_t frame = 0; frame < frames; ++frame) {
        for (const std::string& name : active) {
            expected.push_back(name +
                               " vxpiFilter size=108 256x128 bits=32 others=0 opaque=1"
                               " cursor=127,63 zoom=2,2" +
                               engineThread);
        }
    }
    for (const std::string& name : active) {
        expected.push_back(name + " vxpiRelease" + engineThread);
    }
    EXPECT_EQ(expected, PluginCalls());
    for (const char* name : {"first.dll", "second.dll", "decliner.dll", "no_release.dll"}) {
        EXPECT_EQ(nullptr, GetModuleHandleA(name)) << name << " is unloaded";
    }
    EXPECT_TRUE(Reports().empty());
}

// The lens shows the frames the filters changed; without an active plug-in (a filter switched
// off by its name) it shows the plain picture.
TEST_F(PluginLoop, TheLensShowsWhatTheShippedFiltersMakeOfThePicture) {
    const struct {
        const char* shipped; // in bin\plugins
        const char* file;    // in the plug-in folder
        void (*filter)(const PixelRows&);
    } cases[] = {
        {"Invert Colours.dll", "Invert Colours.lib", nullptr},
        {"Invert Colours.dll", "Invert Colours.dll", InvertColours},
        {"Grayscale.dll", "Grayscale.dll", Grayscale},
        {"Yellow on Black.dll", "Yellow on Black.dll", YellowOnBlack},
        {"Invert Lightness.dll", "Invert Lightness.dll", InvertLightness},
    };
    record.engine.displayMode = 2;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        folders.plugins.Copy(std::string("plugins\\") + c.shipped, c.file);
        Start();
        ASSERT_TRUE(WaitForLensAt(LensAround(kOverPicture.x, kOverPicture.y)));
        ExpectMagnifiedPicture(CopyOfTheLens(), c.filter);
        Close();
        EXPECT_TRUE(DeleteFileA((std::string(folders.plugins.Path()) + "\\" + c.file).c_str()));
    }
    EXPECT_TRUE(Reports().empty());
}

TEST_F(PluginLoop, APluginThatTakesOverHidesTheLensWhileFramesGoOn) {
    folders.plugins.Add("taker", "taker.dll");
    folders.plugins.Add("thread_recorder", "recorder.dll");
    record.engine.displayMode = 2;
    Start();
    const HWND lens = FindLensWindow();
    ASSERT_NE(nullptr, lens);
    EXPECT_FALSE(IsWindowVisible(lens));
    const size_t before = FilterCalls("recorder.dll");
    // Both are called every frame; the one listed first may be a frame ahead of the other.
    EXPECT_TRUE(WaitUntil([&] {
        return FilterCalls("recorder.dll") >= before + 5 && FilterCalls("taker.dll") >= before + 5;
    }));
    ExpectMagnifiedPicture(CopyOfTheLens(), nullptr); // composed, but not shown
    EXPECT_FALSE(IsWindowVisible(lens)) << "hidden for the whole run";
    Close();
    EXPECT_EQ(1u, RecordedCallsStartingWith("taker.dll vxpiRelease").size());
}

// A plug-in that faults in its filter is reported, gets no further call, and the lens goes on
// with the other plug-ins; when it had taken over the display, the engine's lens comes back.
TEST_F(PluginLoop, APluginThatFaultsIsSwitchedOffAndTheLensGoesOn) {
    record.engine.displayMode = 2;
    for (const char* variant : {"fault_filter", "faulty_taker"}) {
        SCOPED_TRACE(variant);
        folders.plugins.Add(variant, "faulty.dll");
        folders.plugins.Add("thread_recorder", "healthy.dll");
        Start();
        ASSERT_TRUE(WaitUntil([] { return FilterCalls("healthy.dll") >= 5; }));
        ASSERT_TRUE(WaitForLensAt(LensAround(kOverPicture.x, kOverPicture.y)));
        EXPECT_TRUE(IsWindowVisible(FindLensWindow())) << "the engine's lens is shown";
        ExpectMagnifiedPicture(CopyOfTheLens(), nullptr);
        Close();
        EXPECT_EQ((Calls{"faulty.dll vxpiInit", "faulty.dll vxpiFilter"}),
                  EntryPointsOf("faulty.dll"));
        EXPECT_EQ("healthy.dll vxpiRelease", EntryPointsOf("healthy.dll").back());
        EXPECT_EQ(1u, RecordedCallsStartingWith("healthy.dll vxpiRelease").size());
        EXPECT_EQ(Calls{"qxRecordError FAILED - vxpiFilter - faulty.dll|-1073741819|magnifier"},
                  Reports());
        DeleteFileA((std::string(folders.plugins.Path()) + "\\faulty.dll").c_str());
        DeleteFileA((std::string(folders.plugins.Path()) + "\\healthy.dll").c_str());
    }
}

class FilterChoice : public PluginLoop {
protected:
    // Names the filter in the record and hands it over, as the filter key does; returns the mark
    // it left in the call log just before.
    std::string Choose(const char* name) {
        const std::string marker = "choice " + std::to_string(++choices) + ": " + name;
        VxRecordCall(marker.c_str());
        lstrcpynA(options.filterName, name, sizeof(options.filterName));
        BindProc<QxSetOptionsMagnifierFn>(GetModuleHandleA(QX_ENGINE_LIBRARY),
                                          "qxSetOptionsMagnifier")(&options);
        return marker;
    }
    // "<file> <entry point>" of every plug-in call recorded after `marker`.
    static Calls CallsAfter(const std::string& marker) {
        Calls calls;
        bool after = false;
        for (const std::string& call : RecordedCalls()) {
            const size_t space = call.find(' ');
            if (after && space != std::string::npos && call.compare(space + 1, 4, "vxpi") == 0) {
                calls.push_back(call.substr(0, call.find(' ', space + 1)));
            }
            after = after || call == marker;
        }
        return calls;
    }
    // Waits until the folder's plug-in "on.dll" has filtered `frames` frames after `marker`.
    static void WaitForFrames(const std::string& marker, ptrdiff_t frames) {
        EXPECT_TRUE(WaitUntil([&] {
            const Calls calls = CallsAfter(marker);
            return std::count(calls.begin(), calls.end(), "on.dll vxpiFilter") >= frames;
        }));
    }
    EngineOptions options = kDefaultEngineOptions;
    int choices = 0;
};

// A chosen filter that faults is switched off and not loaded again in the run.
TEST_F(FilterChoice, EachChoiceIsTakenUpByTheNextFrameWithoutARestart) {
    for (const char* file : {"first.lib", "second.lib", "on.dll"}) {
        folders.plugins.Add("recorder", file);
    }
    folders.plugins.Add("fault_filter", "faulty.lib");
    Start();
    // Each choice, and the calls of the frame after it.
    const std::pair<const char*, Calls> choices[] = {
        {"first", {"first.lib vxpiInit", "first.lib vxpiFilter", "on.dll vxpiFilter"}},
        {"SECOND",
         {"first.lib vxpiRelease", "second.lib vxpiInit", "second.lib vxpiFilter",
          "on.dll vxpiFilter"}},
        {"on", {"second.lib vxpiRelease", "on.dll vxpiFilter"}}, // switched on: filters once
        {"", {"on.dll vxpiFilter"}},
        {"first", {"first.lib vxpiInit", "first.lib vxpiFilter", "on.dll vxpiFilter"}},
        {"faulty",
         {"first.lib vxpiRelease", "faulty.lib vxpiInit", "faulty.lib vxpiFilter",
          "on.dll vxpiFilter"}},
        {"", {"on.dll vxpiFilter"}},
        {"faulty", {"on.dll vxpiFilter"}}};
    for (const auto& [name, expected] : choices) {
        SCOPED_TRACE(name);
        const std::string marker = Choose(name);
        WaitForFrames(marker, 4);
        const Calls calls = CallsAfter(marker);
        ASSERT_GE(calls.size(), 2 + expected.size());
        // The frame under way ends as it began, with at most one call of each filter.
        size_t i = 0;
        while (i < 2 && calls[i].find(" vxpiFilter") != std::string::npos) {
            ++i;
        }
        EXPECT_EQ(expected, Calls(calls.begin() + i, calls.begin() + i + expected.size()));
    }
    EXPECT_EQ(1u, Notifications().size()) << "the lens was up once and never restarted";
    EXPECT_EQ(Calls{"qxRecordError FAILED - vxpiFilter - faulty.lib|-1073741819|magnifier"},
              Reports());
}

// The overlay path, through the fake DirectDraw driver and the engine linked into this program:
// a take-over hides the overlay, which is then neither flipped nor moved; a take-over that ends
// in a fault gives the overlay back, shown, flipped and following the pointer.
TEST(PluginLoopOverlay, ATakeOverHidesTheOverlayUntilThePluginIsSwitchedOff) {
    const struct {
        const char* variant;
        bool shownAgain;
    } cases[] = {{"taker", false}, {"faulty_taker", true}};
    PublishedOwner owner;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        AppDataPlugins folders;
        folders.plugins.Add(c.variant, "taker.dll");
        folders.plugins.Add("recorder", "recorder.dll");
        FakeDirectDraw fake;
        fake.AcceptOverlayFormat(FakeRgbFormat(32, 0xFF0000, 0xFF00, 0xFF));
        SettingsRecord record = DefaultRecord();
        record.engine.frameWait = 5;
        MovePointer(600, 500);
        ClearRecordedCalls();
        ClearNotifications();
        HANDLE thread = qxCreateMagnifier(&record.engine, TestCallback);
        ASSERT_NE(nullptr, thread);
        ASSERT_TRUE(WaitForNotification(kNotifyLensUp));
        FakeSurface* overlay = fake.Surface(FakeRole::Overlay);
        ASSERT_NE(nullptr, overlay);

        MovePointer(700, 520);
        ASSERT_TRUE(WaitUntil([] { return FilterCalls("recorder.dll") >= 10; }));
        EXPECT_EQ(c.shownAgain, overlay->OverlayShown());
        EXPECT_EQ(c.shownAgain, overlay->Flips() > 0);
        if (c.shownAgain) {
            EXPECT_TRUE(WaitUntil([&] { return overlay->OverlayRect().left == 701 - 128; }))
                << "the overlay follows the pointer again";
        } else {
            EXPECT_TRUE(RecordedCallsStartingWith("overlay.SetOverlayPosition").empty());
        }
        qxCloseMagnifier(thread);
        EXPECT_TRUE(WaitForNotification(kNotifyEnded));
        EXPECT_EQ(0, fake.OutstandingReferences());
        EXPECT_TRUE(fake.Problems().empty());
    }
}

} // namespace
