// The engine library running a lens over known pictures on Wine's screen: the lens window
// follows the pointer, and the clipboard copy reaches another program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lens_readback.h"
#include "screen_pattern.h"
#include "settings_logic.h"
#include "test_support.h"

namespace {

constexpr int kScreenWidth = 1280;

class LensOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine.Loaded());
        ClearNotifications();
        EmptyTheClipboard();
        ASSERT_TRUE(pattern.WaitUntilShown());
        record.engine.frameWait = 10;
    }
    void TearDown() override {
        if (thread != nullptr) {
            engine.close(thread);
        }
        EmptyTheClipboard();
    }
    // Starts the lens and, as the main program does when the lens is up, raises the brightness
    // to neutral (every start sets it to 0).
    void Start() {
        thread = engine.create(&record.engine, TestCallback);
        ASSERT_NE(nullptr, thread);
        ASSERT_TRUE(WaitForNotification(kNotifyLensUp));
        engine.brightness(1, 1000 - engine.brightness(0, 0));
    }
    PublishedOwner owner;
    EngineLibrary engine;
    SettingsRecord record = DefaultRecord();
    std::vector<uint32_t> pixels = DetailPattern(160, 120, 5);
    PatternWindow pattern{300, 300, 160, 120, pixels};
    HANDLE thread = nullptr;
};

TEST_F(LensOnScreen, OneWindowLensFollowsThePointerAndItsCopyReachesOtherPrograms) {
    record.engine.displayMode = 2;
    MovePointer(380, 360);
    Start();
    ASSERT_TRUE(WaitForLensAt(LensAround(380, 360))) << "the lens sits around the pointer";
    EXPECT_EQ(0x080800A8, GetWindowLongA(FindLensWindow(), GWL_EXSTYLE));
    EXPECT_TRUE(GetWindowLongA(FindLensWindow(), GWL_STYLE) & WS_POPUP);

    MovePointer(420, 380);
    ASSERT_TRUE(WaitForLensAt(LensAround(420, 380))) << "the lens follows the pointer";
    StoreShared(record.engine.captureRequest, 1);
    ASSERT_TRUE(WaitForCaptureServed(record));
    ClipboardImage copy;
    ASSERT_TRUE(ReadClipboardElsewhere(&copy));
    // Only the picture's window is shown (the lens covers it on the screen by now), the rest is
    // see-through (black in a bitmap).
    EXPECT_EQ(0,
              CopyMismatches(copy, OneWindowLensOf(pixels, RECT{300, 300, 460, 420}, {420, 380})));

    const double start = NowMs();
    EXPECT_EQ(1, engine.close(thread));
    thread = nullptr;
    EXPECT_GE(NowMs() - start, 1270.0) << "the lens fades out before it goes";
    EXPECT_EQ(nullptr, FindLensWindow());
    EXPECT_TRUE(WaitForNotification(kNotifyEnded));
}

TEST_F(LensOnScreen, ShowAllUsesTheLensWindowAndCopiesTheImageItShows) {
    record.engine.displayMode = 1;
    record.engine.frameWait = 1500; // each image stays on the screen for 1.5 s
    MovePointer(380, 360);
    Start();
    ASSERT_TRUE(WaitForLensAt(LensAround(380, 360)))
        << "no overlay is advertised: the lens window is used";
    ASSERT_TRUE(WaitForFrames(&record, 2)) << "the brightness raised at lens-up is shown";
    StoreShared(record.engine.captureRequest, 1);
    ASSERT_TRUE(WaitForCaptureServed(record));
    ClipboardImage copy;
    ASSERT_TRUE(ReadClipboardElsewhere(&copy));
    // Wine puts the lens window into every screen copy, so from its second frame on the lens
    // shows itself; what is checked here is that the copy is the image the lens shows, from
    // right after the frame that served it until the next.
    const RECT lens = LensAround(380, 360);
    std::vector<uint32_t> shown;
    WaitUntil([&] {
        shown = ReadScreen(lens.left, lens.top, 256, 128);
        for (uint32_t& pixel : shown) {
            pixel &= 0x00FFFFFFu;
        }
        return shown == copy.pixels;
    });
    EXPECT_EQ(0, CopyMismatches(copy, shown)) << "the copy is the lens image on the screen";
}

} // namespace
