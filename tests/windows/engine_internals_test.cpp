// Engine modules tested from inside: linked into this program rather than loaded as a library.
#include <gtest/gtest.h>

#include "engine_state.h"
#include "error_reporter.h"
#include "instance_mapping.h"
#include "run_control.h"
#include "scoped_handles.h"
#include "test_support.h"

extern "C" HANDLE WINAPI qxCreateMagnifier(EngineParameters*, EngineCallback);
extern "C" int WINAPI qxCloseMagnifier(HANDLE);

namespace {

TEST(ErrorReporter, ForwardsReportsOnlyWhileBound) {
    ClearRecordedCalls();
    EXPECT_EQ(0, ReportError("Failed InitDirect3D", 399, "magnifier")) << "unbound";
    PreloadedFake sender("qxsender", "full");
    StartErrorReporter();
    StartErrorReporter(); // a second start keeps the one binding
    EXPECT_EQ(7, ReportError("Failed InitDirect3D", 399, "magnifier"));
    EXPECT_EQ(7, ReportError("Not DC", -2005532542, "g_Surface_BackgroundStretch24bit->GetDC"));
    StopErrorReporter();
    EXPECT_EQ(0, ReportError("after the stop", 1, "magnifier"));
    EXPECT_EQ((std::vector<std::string>{
                  RecordedCalls().front(), "qxRecordError Failed InitDirect3D|399|magnifier",
                  "qxRecordError Not DC|-2005532542|g_Surface_BackgroundStretch24bit->GetDC",
                  "qxDestroySender"}),
              RecordedCalls());
    EXPECT_TRUE(sender.ReleaseAndCheckUnloaded());
}

TEST(RunControl, WaitBetweenFramesLastsItsTimeWhileRunningAndEndsAtARedraw) {
    BeginRun();
    const double start = NowMs();
    EXPECT_EQ(FrameWaitEnd::kElapsed, WaitBetweenFrames(120));
    const double paused = NowMs() - start;
    EXPECT_GE(paused, 100.0);
    EXPECT_LT(paused, kPatienceMs) << "a tenth of a second, not minutes";
    EXPECT_TRUE(RunsRemain());
    RedrawSoon();
    EXPECT_EQ(FrameWaitEnd::kRedraw, WaitBetweenFrames(INFINITE));
    DrainRuns();
    EXPECT_FALSE(RunsRemain());
}

DWORD WINAPI DrainAfterAMoment(LPVOID) {
    Sleep(100);
    DrainRuns();
    return 0;
}

TEST(RunControl, WaitBetweenFramesEndsAtOnceWhenTheRunsAreDrained) {
    BeginRun();
    BeginRun();
    UniqueHandle drainer(CreateThread(nullptr, 0, DrainAfterAMoment, nullptr, 0, nullptr));
    EXPECT_EQ(FrameWaitEnd::kClosed, WaitBetweenFrames(INFINITE)); // returns at all
    EXPECT_FALSE(RunsRemain());
    WaitForEnd(drainer.Get());

    const double again = NowMs();
    EXPECT_EQ(FrameWaitEnd::kClosed, WaitBetweenFrames(20 * kPatienceMs));
    EXPECT_LT(NowMs() - again, kPatienceMs) << "a drained engine does not pause";
    BeginRun();
    EXPECT_TRUE(RunsRemain()) << "a new run re-arms the pause";
    UndoBeginRun();
    EXPECT_FALSE(RunsRemain());
}

TEST(OwnerWindow, IsReadFromTheMainProgramsSharedMemory) {
    UniqueHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            kInstanceMappingSize, kInstanceMappingName));
    ASSERT_TRUE(mapping);
    UniqueView view(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_TRUE(view);
    *static_cast<HWND*>(view.Get()) = reinterpret_cast<HWND>(0x00120034);

    SettingsRecord record = DefaultRecord();
    EXPECT_EQ(nullptr, qxCreateMagnifier(&record.engine, nullptr));
    EXPECT_EQ(reinterpret_cast<HWND>(0x00120034), Engine().ownerWindow);

    view.Reset();
    mapping.Reset();
    Engine().ownerWindow = reinterpret_cast<HWND>(0x5678);
    EXPECT_EQ(nullptr, qxCreateMagnifier(&record.engine, nullptr));
    EXPECT_EQ(reinterpret_cast<HWND>(0x5678), Engine().ownerWindow)
        << "kept when nobody published one";
}

} // namespace
