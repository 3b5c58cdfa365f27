// The filter chosen at a key, in the running engine loaded as the main program loads it: each
// choice handed over through qxSetOptionsMagnifier is taken up by the next frame, with no restart
// of the lens; a switched-off (.lib) file is used as it is; the lens shows what the chosen
// shipped filter makes of the picture; a chosen filter that faults stays off for the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lens_readback.h"
#include "pixel_filters.h"
#include "scoped_handles.h"
#include "screen_pattern.h"
#include "test_plugin_folders.h"
#include "test_support.h"

namespace {

using Calls = std::vector<std::string>;

constexpr RECT kPicture = {300, 300, 460, 420};
constexpr POINT kOverPicture = {380, 360};

// "<file> <entry point>" of every plug-in call recorded after `marker`.
Calls PluginCallsAfter(const std::string& marker) {
    Calls calls;
    bool after = false;
    for (const std::string& call : RecordedCalls()) {
        if (after && call.find(" vxpi") != std::string::npos) {
            calls.push_back(call.substr(0, call.find(' ', call.find(" vxpi") + 1)));
        }
        after = after || call == marker;
    }
    return calls;
}

size_t Count(const Calls& calls, const std::string& call) {
    return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
}

class FilterChoice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine.Loaded());
        setOptions = BindProc<QxSetOptionsMagnifierFn>(GetModuleHandleA(QX_ENGINE_LIBRARY),
                                                       "qxSetOptionsMagnifier");
        ASSERT_NE(nullptr, setOptions);
        ASSERT_TRUE(pattern.WaitUntilShown());
        record.engine.frameWait = 10;
        record.engine.displayMode = 2; // "Show one window": the lens never copies itself
    }
    void TearDown() override {
        if (thread != nullptr) {
            EXPECT_EQ(1, engine.close(thread));
            EXPECT_TRUE(WaitForNotification(kNotifyEnded, 5000));
        }
        EmptyTheClipboard();
    }
    void Start() {
        ClearRecordedCalls();
        ClearNotifications();
        SetCursorPos(kOverPicture.x, kOverPicture.y);
        Sleep(200); // Wine's other threads may read the old place for about 100 ms
        setOptions(&options);
        thread = engine.create(&record.engine, TestCallback);
        ASSERT_NE(nullptr, thread);
        ASSERT_TRUE(WaitForNotification(kNotifyLensUp, 10000));
        engine.brightness(1, 1000 - engine.brightness(0, 0));
    }
    // Names the filter in the record and hands it over, as the filter key does; returns the mark
    // it left in the call log just before.
    std::string Choose(const char* name) {
        const std::string marker = std::string("choose ") + name;
        VxRecordCall(marker.c_str());
        lstrcpynA(options.filterName, name, sizeof(options.filterName));
        setOptions(&options);
        return marker;
    }
    // Waits until `frames` more frames have been filtered by the folder's plug-in "on.dll".
    void WaitForFrames(const std::string& marker, size_t frames) {
        EXPECT_TRUE(WaitUntil(
            [&] { return Count(PluginCallsAfter(marker), "on.dll vxpiFilter") >= frames; }));
    }
    ClipboardImage CopyOfTheLens() {
        StoreShared(record.engine.captureRequest, 1);
        ClipboardImage copy;
        EXPECT_TRUE(WaitForCaptureServed(record));
        EXPECT_TRUE(ReadClipboardElsewhere(&copy));
        return copy;
    }

    PreloadedFake sender{"qxsender", "full"};
    PublishedOwner owner;
    AppDataPlugins folders;
    EngineLibrary engine;
    QxSetOptionsMagnifierFn setOptions = nullptr;
    EngineOptions options = kDefaultEngineOptions;
    SettingsRecord record = DefaultRecord();
    std::vector<uint32_t> pixels = DetailPattern(160, 120, 5);
    PatternWindow pattern{kPicture.left, kPicture.top, 160, 120, pixels};
    HANDLE thread = nullptr;
};

TEST_F(FilterChoice, EachChoiceIsTakenUpByTheNextFrameWithoutARestart) {
    folders.plugins.Add("recorder", "first.lib");
    folders.plugins.Add("recorder", "second.lib");
    folders.plugins.Add("recorder", "on.dll");
    Start();
    const struct {
        const char* name;
        const char* loaded; // the file loaded for it, or null for none
    } choices[] = {{"first", "first.lib"},
                   {"SECOND", "second.lib"},
                   {"on", nullptr}, // switched on: the folder's own, filtering once
                   {"", nullptr},
                   {"first", "first.lib"}};
    const char* before = nullptr;
    for (const auto& choice : choices) {
        SCOPED_TRACE(choice.name);
        const std::string marker = Choose(choice.name);
        WaitForFrames(marker, 4);
        const Calls calls = PluginCallsAfter(marker);
        // The frame under way ends as it began, with at most one call of each filter.
        size_t i = 0;
        while (i < calls.size() && i < 2 && calls[i].find(" vxpiFilter") != std::string::npos) {
            ++i;
        }
        Calls next(calls.begin() + static_cast<ptrdiff_t>(i), calls.end());
        Calls expected;
        if (before != nullptr) {
            expected.push_back(std::string(before) + " vxpiRelease");
        }
        if (choice.loaded != nullptr) {
            expected.push_back(std::string(choice.loaded) + " vxpiInit");
            expected.push_back(std::string(choice.loaded) + " vxpiFilter");
        }
        expected.push_back("on.dll vxpiFilter");
        next.resize(expected.size());
        EXPECT_EQ(expected, next) << "the next frame filters with the choice first";
        EXPECT_EQ(0u, Count(calls, "on.dll vxpiInit")) << "never loaded twice";
        before = choice.loaded;
    }
    std::vector<int> codes;
    for (const Notification& n : Notifications()) {
        codes.push_back(n.code);
    }
    EXPECT_EQ(std::vector<int>{kNotifyLensUp}, codes) << "no restart";
}

TEST_F(FilterChoice, TheLensShowsWhatTheChosenShippedFilterMakesOfThePicture) {
    folders.plugins.Copy("plugins\\Invert Lightness.dll", "Invert Lightness.lib");
    folders.plugins.Add("recorder", "on.dll");
    lstrcpynA(options.filterName, "Invert Lightness", sizeof(options.filterName));
    Start();
    ASSERT_TRUE(WaitForLensAt(LensAround(kOverPicture.x, kOverPicture.y)));
    for (const char* name : {"Invert Lightness", "", "invert lightness"}) {
        SCOPED_TRACE(name);
        WaitForFrames(Choose(name), 2);
        std::vector<uint32_t> expected = OneWindowLensOf(pixels, kPicture, kOverPicture);
        if (name[0] != '\0') {
            InvertLightness(
                PixelRows{reinterpret_cast<uint8_t*>(expected.data()), 256 * 4, 256, 128});
        }
        EXPECT_EQ(0, CopyMismatches(CopyOfTheLens(), expected));
    }
}

TEST_F(FilterChoice, AChosenFilterThatFaultsStaysOffForTheRun) {
    folders.plugins.Add("fault_filter", "faulty.lib");
    folders.plugins.Add("recorder", "on.dll");
    Start();
    for (const char* name : {"faulty", "", "faulty"}) {
        WaitForFrames(Choose(name), 3);
    }
    const Calls calls = PluginCallsAfter("choose faulty");
    EXPECT_EQ(1u, Count(calls, "faulty.lib vxpiInit"));
    EXPECT_EQ(1u, Count(calls, "faulty.lib vxpiFilter"));
    EXPECT_EQ(0u, Count(calls, "faulty.lib vxpiRelease"));
    EXPECT_EQ(Calls{"qxRecordError FAILED - vxpiFilter - faulty.lib|-1073741819|magnifier"},
              RecordedCallsStartingWith("qxRecordError "));
}

} // namespace
