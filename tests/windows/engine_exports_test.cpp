// The engine library as the main program sees it: loaded by name, bound by undecorated names.
#include <gtest/gtest.h>

#include "instance_mapping.h"
#include "test_support.h"

namespace {

class EngineExports : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine.Loaded());
        ClearNotifications();
        ClearRecordedCalls();
    }
    PublishedOwner owner;
    EngineLibrary engine;
    SettingsRecord record = DefaultRecord();
};

TEST_F(EngineExports, BrightnessReadsAndStepsWithItsClampingRules) {
    EXPECT_EQ(0, engine.brightness(0, 0)) << "0 right after loading";
    EXPECT_EQ(1000, engine.brightness(1, 1000));
    EXPECT_EQ(1000, engine.brightness(0, 0));
    EXPECT_EQ(950, engine.brightness(-1, 50));
    EXPECT_EQ(900, engine.brightness(-1, 50));
    EXPECT_EQ(900, engine.brightness(-1, 50)) << "never below 900";
    EXPECT_EQ(10000, engine.brightness(1, 9100));
    EXPECT_EQ(9990, engine.brightness(-1, 10));
    EXPECT_EQ(10000, engine.brightness(1, 50)) << "never above 10000";
    EXPECT_EQ(10000, engine.brightness(1, 0x7FFFFFFF)) << "no overflow";

    engine.Load();
    EXPECT_EQ(900, engine.brightness(1, 0)) << "any change clamps, even by 0";
}

TEST_F(EngineExports, CloseWithoutAThreadReturnsOne) {
    EXPECT_EQ(1, engine.close(nullptr));
}

TEST_F(EngineExports, CreateWithoutACallbackStartsNothingButClearsTheHandshake) {
    record.engine.captureRequest = 1;
    record.engine.lockPosition = 1;
    EXPECT_EQ(nullptr, engine.create(&record.engine, nullptr));
    EXPECT_EQ(0u, record.engine.captureRequest);
    EXPECT_EQ(0u, record.engine.lockPosition);
    SettingsRecord untouched = DefaultRecord();
    untouched.engine.captureRequest = 0;
    untouched.engine.lockPosition = 0;
    EXPECT_EQ(0, memcmp(&untouched, &record, sizeof(record))) << "nothing else is written";
    Sleep(50);
    EXPECT_TRUE(Notifications().empty());
}

TEST_F(EngineExports, RunSendsLensUpThenEndedEachOnANewThread) {
    record.engine.captureRequest = 1;
    record.engine.lockPosition = 1;
    HANDLE thread = engine.create(&record.engine, TestCallback);
    ASSERT_NE(nullptr, thread);
    EXPECT_EQ(0u, record.engine.captureRequest);
    EXPECT_EQ(0u, record.engine.lockPosition);
    const DWORD engineThread = GetThreadId(thread);

    Notification lensUp;
    ASSERT_TRUE(WaitForNotification(kNotifyLensUp, &lensUp));
    EXPECT_EQ(1, engine.close(thread));
    Notification ended;
    ASSERT_TRUE(WaitForNotification(kNotifyEnded, &ended));

    EXPECT_NE(GetCurrentThreadId(), lensUp.threadId);
    EXPECT_NE(engineThread, lensUp.threadId);
    EXPECT_NE(engineThread, ended.threadId);
    EXPECT_NE(lensUp.threadId, ended.threadId);
    const auto all = Notifications();
    ASSERT_EQ(2u, all.size());
    EXPECT_EQ(kNotifyLensUp, all[0].code);
}

// The close takes the lens window's fade (1.27 s) and the teardown, never the pause of 49 days.
TEST_F(EngineExports, CloseReturnsPromptlyWhateverTheFrameWait) {
    const FrameCounter frames(&record);
    record.engine.frameWait = 4294967295u;
    HANDLE thread = engine.create(&record.engine, TestCallback);
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(WaitForNotification(kNotifyLensUp));
    ASSERT_TRUE(WaitUntil([&] { return frames() > 0; })) << "the thread is inside its pause now";
    EXPECT_EQ(1, engine.close(thread));
    EXPECT_TRUE(WaitForNotification(kNotifyEnded));
}

// One close ends every run begun and returns when none of their threads runs any more, so that a
// main program that started twice and kept only the last handle may free the library at once.
TEST_F(EngineExports, OneCloseEndsEveryRunBegunAndWaitsForThem) {
    record.engine.frameWait = 20 * kPatienceMs;
    HANDLE first = engine.create(&record.engine, TestCallback);
    HANDLE second = engine.create(&record.engine, TestCallback);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    ASSERT_TRUE(WaitForNotification(kNotifyLensUp));
    EXPECT_EQ(1, engine.close(second));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(first, 0)) << "the first run has ended too";
    CloseHandle(first);
    engine.Unload();
    EXPECT_EQ(nullptr, GetModuleHandleA(QX_ENGINE_LIBRARY));
}

HANDLE g_runningThread = nullptr;
QxCloseMagnifierFn g_close = nullptr;
volatile LONG g_closedFromCallback = 0;

TEST_F(EngineExports, TheCallbackMayCloseTheEngine) {
    record.engine.frameWait = 100000;
    g_close = engine.close;
    OnNotification(kNotifyLensUp, [] {
        g_close(g_runningThread);
        InterlockedExchange(&g_closedFromCallback, 1);
    });
    g_runningThread = engine.create(&record.engine, TestCallback);
    ASSERT_NE(nullptr, g_runningThread);
    EXPECT_TRUE(WaitForNotification(kNotifyEnded));
    EXPECT_TRUE(WaitUntil([] { return g_closedFromCallback == 1; }))
        << "the close made on the notification thread returned";
}

TEST(EngineMapping, TheMappingMadeForReadingTheOwnerIsClosedAgain) {
    EngineLibrary engine;
    SettingsRecord record = DefaultRecord();
    ASSERT_EQ(nullptr, OpenFileMappingA(FILE_MAP_READ, FALSE, kInstanceMappingName));
    EXPECT_EQ(nullptr, engine.create(&record.engine, nullptr));
    EXPECT_EQ(nullptr, OpenFileMappingA(FILE_MAP_READ, FALSE, kInstanceMappingName));
}

} // namespace
