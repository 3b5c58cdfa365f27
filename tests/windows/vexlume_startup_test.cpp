// The tray program as a whole process: one running copy, the shared memory that names its main
// window, closing it from a second start, its Exit, and the delayed start with Windows.
#include <gtest/gtest.h>

#include "instance_mapping.h"
#include "scoped_handles.h"
#include "test_support.h"
#include "vexlume_process.h"

namespace {

// What a start that asked another to close waits afterwards.
constexpr double kCloseRequestWaitMs = 2000;

class Startup : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
};

bool MappingExists() {
    UniqueHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, kInstanceMappingName));
    return mapping.Valid();
}

TEST_F(Startup, TheSharedMemoryMagnifierHoldsTheHiddenMainWindow) {
    ProgramCopy copy(EngineBeside::None);
    VexlumeProcess first(copy.Program());
    HWND window = first.WaitForMainWindow();
    ASSERT_NE(nullptr, window) << "the first start publishes its main window";
    EXPECT_FALSE(IsWindowVisible(window));
    char className[32] = {};
    GetClassNameA(window, className, sizeof(className));
    EXPECT_STREQ("#32770", className) << "a dialog made from a template";
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(TrayIconPresent(window));
}

TEST_F(Startup, ASecondStartEndsAtOnceAndTheFirstKeepsRunning) {
    ProgramCopy copy(EngineBeside::None);
    VexlumeProcess first(copy.Program());
    HWND window = first.WaitForMainWindow();
    ASSERT_NE(nullptr, window);

    VexlumeProcess second(copy.Program());
    DWORD code = 1234;
    ASSERT_TRUE(second.WaitForExit(&code));
    EXPECT_LT(second.LifetimeMs(), kCloseRequestWaitMs) << "without the wait of a closing start";
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(first.Answers());
    EXPECT_TRUE(TrayIconPresent(window)) << "the first keeps its one tray icon";
}

TEST_F(Startup, TheLetterUClosesTheRunningCopyThroughItsExit) {
    ProgramCopy copy(EngineBeside::None);
    VexlumeProcess first(copy.Program());
    HWND window = first.WaitForMainWindow();
    ASSERT_NE(nullptr, window);

    VexlumeProcess closer(copy.Program(), "/u");
    DWORD firstCode = 1234;
    ASSERT_TRUE(first.WaitForExit(&firstCode)) << "WM_CLOSE at the main window is Exit";
    EXPECT_EQ(0u, firstCode);
    EXPECT_FALSE(TrayIconPresent(window));
    DWORD closerCode = 1234;
    ASSERT_TRUE(closer.WaitForExit(&closerCode));
    EXPECT_EQ(0u, closerCode);
    EXPECT_GT(closer.LifetimeMs(), kCloseRequestWaitMs / 2) << "the closer waits after its request";
    EXPECT_FALSE(MappingExists());
}

TEST_F(Startup, TheLetterUWithNothingRunningEndsAtOnceAndLeavesNothing) {
    ProgramCopy copy(EngineBeside::None);
    VexlumeProcess closer(copy.Program(), "-U");
    DWORD code = 1234;
    ASSERT_TRUE(closer.WaitForExit(&code));
    EXPECT_LT(closer.LifetimeMs(), kCloseRequestWaitMs) << "no request, no wait after it";
    EXPECT_EQ(0u, code);
    EXPECT_FALSE(MappingExists());

    VexlumeProcess next(copy.Program());
    EXPECT_NE(nullptr, next.WaitForMainWindow()) << "a later start runs normally";
}

TEST_F(Startup, ExitEndsWithCodeZeroAndRemovesTheTrayIcon) {
    ProgramCopy copy(EngineBeside::None);
    VexlumeProcess program(copy.Program());
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(TrayIconPresent(window));
    program.PostCommand(2);
    DWORD code = 1234;
    ASSERT_TRUE(program.WaitForExit(&code));
    EXPECT_EQ(0u, code);
    EXPECT_FALSE(TrayIconPresent(window));
    EXPECT_FALSE(MappingExists());
}

// A window of the process with the layered-window class of the splash and the lens, or null.
HWND LensWindowOf(DWORD processId) {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "VX Overlay Window", nullptr)) != nullptr) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        if (id == processId) {
            return window;
        }
    }
    return nullptr;
}

HWND WaitForLensWindow(DWORD processId) {
    WaitUntil([processId] { return LensWindowOf(processId) != nullptr; });
    return LensWindowOf(processId);
}

TEST_F(Startup, TheSplashStandsAboveTheScreenCentreAndLeavesItsClassToTheLens) {
    ProgramCopy copy(EngineBeside::Real);
    VexlumeProcess program(copy.Program());
    HWND splash = WaitForLensWindow(program.Id());
    ASSERT_NE(nullptr, splash);
    RECT r = {};
    ASSERT_TRUE(WaitUntil([&] { return GetWindowRect(splash, &r) && r.right - r.left == 320; }))
        << "drawn at its place right after it is made";
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2 - 160, r.left) << "centred horizontally";
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) / 2 - 220, r.top) << "220 pixels above the centre";
    EXPECT_EQ(320, r.right - r.left);
    EXPECT_EQ(240, r.bottom - r.top);
    EXPECT_TRUE(GetWindowLongA(splash, GWL_EXSTYLE) & WS_EX_TRANSPARENT);

    ASSERT_NE(nullptr, program.WaitForMainWindow());
    EXPECT_EQ(nullptr, LensWindowOf(program.Id())) << "gone before the message loop";
    ASSERT_TRUE(program.RunCommand(8002));
    EXPECT_NE(nullptr, WaitForLensWindow(program.Id()))
        << "the engine's lens window registers the same class";
    ASSERT_TRUE(program.RunCommand(8002));
}

TEST_F(Startup, StartedWithWindowsItWaitsTenSecondsFirst) {
    ProgramCopy copy(EngineBeside::None);
    const double started = NowMs();
    VexlumeProcess program(copy.Program(), "/a");
    Sleep(3000); // a part of the wait: nothing may happen, whatever the machine's speed
    EXPECT_FALSE(MappingExists()) << "nothing is claimed during the wait";
    ASSERT_NE(nullptr, program.WaitForMainWindow());
    EXPECT_GT(NowMs() - started, 9500.0);
}

} // namespace
