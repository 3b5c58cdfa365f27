// The optional libraries the engine binds by name for one run: the pointer hider, the caret
// locator and the error reporter, each replaced here by a fake that records its calls.
#include <gtest/gtest.h>

#include "lens_readback.h"
#include "test_support.h"

namespace {

using Calls = std::vector<std::string>;

class OptionalLibraries : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine.Loaded());
        ClearNotifications();
        ClearRecordedCalls();
        record.engine.frameWait = 10;
    }
    // One whole run: up, a few frames, closed.
    void RunOnce() {
        HANDLE thread = engine.create(&record.engine, TestCallback);
        ASSERT_NE(nullptr, thread);
        ASSERT_TRUE(WaitForNotification(kNotifyLensUp));
        ASSERT_TRUE(WaitForFrames(&record, 2));
        ASSERT_EQ(1, engine.close(thread));
        ASSERT_TRUE(WaitForNotification(kNotifyEnded));
    }
    PublishedOwner owner;
    EngineLibrary engine;
    SettingsRecord record = DefaultRecord();
};

TEST_F(OptionalLibraries, PointerIsHiddenForARunWithAnInternalCursor) {
    PreloadedFake hider("qxhidecursor", "full");
    ASSERT_NE(nullptr, hider.Module());
    record.engine.internalCursor = 1;
    RunOnce();
    EXPECT_EQ((Calls{"qxShowCursor 0", "qxShowCursor 1"}), RecordedCallsStartingWith("qxShow"));
    EXPECT_TRUE(hider.ReleaseAndCheckUnloaded()) << "the engine freed its reference";
}

TEST_F(OptionalLibraries, PointerHiderIsNotBoundWithoutAnInternalCursor) {
    PreloadedFake hider("qxhidecursor", "full");
    record.engine.internalCursor = 0;
    RunOnce();
    EXPECT_TRUE(RecordedCallsStartingWith("qxShow").empty());
    EXPECT_TRUE(hider.ReleaseAndCheckUnloaded());
}

TEST_F(OptionalLibraries, PointerHiderWithoutItsEntryPointIsStillFreed) {
    PreloadedFake hider("qxhidecursor", "no_show");
    ASSERT_NE(nullptr, hider.Module());
    record.engine.internalCursor = 5;
    RunOnce();
    EXPECT_TRUE(RecordedCallsStartingWith("qxShow").empty());
    EXPECT_TRUE(hider.ReleaseAndCheckUnloaded());
}

TEST_F(OptionalLibraries, CaretLocatorIsInitialisedAndReleasedWhenFollowingFocus) {
    for (const char* variant : {"full", "no_get"}) {
        SCOPED_TRACE(variant);
        ClearRecordedCalls();
        ClearNotifications();
        PreloadedFake caret("qxgetcaretpos", variant);
        ASSERT_NE(nullptr, caret.Module());
        record.engine.followFocus = 1;
        RunOnce();
        EXPECT_EQ((Calls{"qxGetCaretPosInit 9830 5734", "qxGetCaretPosRelease"}),
                  RecordedCallsStartingWith("qxGetCaretPos"));
        EXPECT_TRUE(caret.ReleaseAndCheckUnloaded());
    }
    ClearRecordedCalls();
    PreloadedFake caret("qxgetcaretpos", "full");
    record.engine.followFocus = 0;
    RunOnce();
    EXPECT_TRUE(RecordedCallsStartingWith("qxGetCaretPos").empty());
    EXPECT_TRUE(caret.ReleaseAndCheckUnloaded());
}

TEST_F(OptionalLibraries, ReporterIsIntroducedFirstAndTakenDownLast) {
    PreloadedFake sender("qxsender", "full");
    PreloadedFake hider("qxhidecursor", "full");
    PreloadedFake caret("qxgetcaretpos", "full");
    record.engine.internalCursor = 2;
    record.engine.followFocus = 1;
    RunOnce();
    Calls calls = RecordedCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ("qxInitSender size=36 reserved=0,0,0 title=qxmagnifier[2001-0912] - ERROR "
              "address=support@vexlume.net limit=1500 labels=ERROR:|Source:",
              calls.front());
    // Notifications run on their own threads; the engine thread's own order is fixed.
    Calls engineSide;
    for (const std::string& call : calls) {
        if (call.compare(0, 7, "notify ") != 0) {
            engineSide.push_back(call);
        }
    }
    EXPECT_EQ((Calls{calls.front(), "qxShowCursor 0", "qxGetCaretPosInit 9830 5734",
                     "qxShowCursor 1", "qxGetCaretPosRelease", "qxDestroySender"}),
              engineSide);
    EXPECT_TRUE(sender.ReleaseAndCheckUnloaded());
}

TEST_F(OptionalLibraries, ReporterIsBoundOnlyWithAllFourEntryPoints) {
    for (const char* variant : {"no_init", "no_destroy", "no_record", "no_dxversion"}) {
        SCOPED_TRACE(variant);
        ClearRecordedCalls();
        ClearNotifications();
        PreloadedFake sender("qxsender", variant);
        ASSERT_NE(nullptr, sender.Module());
        RunOnce();
        EXPECT_TRUE(RecordedCallsStartingWith("qx").empty());
        EXPECT_TRUE(sender.ReleaseAndCheckUnloaded()) << "freed at once when incomplete";
    }
}

} // namespace
