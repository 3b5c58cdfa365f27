// The frame loop through a fake DirectDraw driver and a stand-in of the composition library:
// every path choice at start, and every answer of the overlay during the run, with the end
// reason, notification and report each one leads to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "clipboard_copy.h"
#include "engine_seams.h"
#include "engine_state.h"
#include "error_reporter.h"
#include "fake_directdraw.h"
#include "frame_clock.h"
#include "lens_readback.h"
#include "magnifier_thread.h"
#include "packed_yuv.h"
#include "scoped_handles.h"
#include "screen_pattern.h"
#include "scripted_direct3d.h"
#include "test_support.h"

extern "C" HANDLE WINAPI qxCreateMagnifier(EngineParameters*, EngineCallback);
extern "C" int WINAPI qxCloseMagnifier(HANDLE);
extern "C" int WINAPI qxSetBrightnessMagnifier(int, int);

namespace {

using Calls = std::vector<std::string>;

volatile LONG g_timerRaised = 0; // timeBeginPeriod calls less timeEndPeriod calls

MMRESULT WINAPI RaiseTimer(UINT) {
    InterlockedIncrement(&g_timerRaised);
    return TIMERR_NOERROR;
}

MMRESULT WINAPI GiveBackTimer(UINT) {
    InterlockedDecrement(&g_timerRaised);
    return TIMERR_NOERROR;
}

int CountNotifications(int code) {
    int count = 0;
    for (const Notification& n : Notifications()) {
        count += n.code == code ? 1 : 0;
    }
    return count;
}

class FrameLoop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, dwm.Module());
        ClearRecordedCalls();
        ClearNotifications();
        SetComposition(0);
        record.engine.frameWait = 5;
        MovePointer(600, 500);
        g_timerRaised = 0;
    }
    void TearDown() override {
        Close();
        EXPECT_EQ(0, g_timerRaised) << "the timer given back however the run ended";
        EXPECT_EQ(0, fake.OutstandingReferences()) << "every DirectDraw object was released";
        EXPECT_TRUE(fake.Problems().empty());
    }
    void Start() {
        thread = qxCreateMagnifier(&record.engine, TestCallback);
        ASSERT_NE(nullptr, thread);
        ASSERT_TRUE(WaitForNotification(kNotifyLensUp));
    }
    void Close() {
        if (thread != nullptr) {
            qxCloseMagnifier(thread);
            thread = nullptr;
        }
    }
    void AcceptRgbOverlays() {
        fake.AcceptOverlayFormat(FakeRgbFormat(32, 0xFF0000, 0xFF00, 0xFF));
    }
    void SetComposition(UINT on) {
        BindProc<void (*)(UINT)>(dwm.Module(), "FakeDwmSetComposition")(on);
    }
    UINT Composition() { return BindProc<UINT (*)()>(dwm.Module(), "FakeDwmComposition")(); }
    int Flips() {
        FakeSurface* overlay = fake.Surface(FakeRole::Overlay);
        return overlay != nullptr ? overlay->Flips() : 0;
    }
    Calls Reports() { return RecordedCallsStartingWith("qxRecordError"); }
    Calls CompositionCalls() { return RecordedCallsStartingWith("DwmEnable"); }

    PreloadedFake sender{"qxsender", "full"};
    PreloadedFake dwm{"vxdwmapi", "full"};
    PublishedOwner owner;
    FakeDirectDraw fake;
    SettingsRecord record = DefaultRecord();
    HANDLE thread = nullptr;
    const std::string dwmLibrary = ProgramFolder() + "\\fakes\\full\\vxdwmapi.dll";
    SeamSwap<const char*> composition{Seams().compositionLibrary, dwmLibrary.c_str()};
    SeamSwap<decltype(Seams().timeBeginPeriod)> timerUp{Seams().timeBeginPeriod, RaiseTimer};
    SeamSwap<decltype(Seams().timeEndPeriod)> timerDown{Seams().timeEndPeriod, GiveBackTimer};
};

TEST_F(FrameLoop, OverlayIsShownFlippedAndMovedWithThePointer) {
    AcceptRgbOverlays();
    Start();
    EXPECT_EQ(0x00FF0000u, fake.Surface(FakeRole::Overlay)->Format().dwRBitMask)
        << "the first format: 32-bit RGB with masks";
    ASSERT_TRUE(WaitUntil([&] { return Flips() >= 3; }));
    EXPECT_TRUE(fake.Surface(FakeRole::Overlay)->OverlayShown());
    const RECT first = fake.Surface(FakeRole::Overlay)->OverlayRect();
    EXPECT_EQ(601 - 128, first.left);
    EXPECT_EQ(501 - 64, first.top);

    MovePointer(700, 520);
    ASSERT_TRUE(WaitUntil([&] {
        return fake.Surface(FakeRole::Overlay)->OverlayRect().left == 701 - 128;
    })) << "the overlay follows the pointer";
    EXPECT_EQ(521 - 64, fake.Surface(FakeRole::Overlay)->OverlayRect().top);
    EXPECT_EQ(0xFFu, fake.Surface(FakeRole::Overlay)->Pixel(10, 10) >> 24)
        << "the flipped frame carries the opaque lens image";
    EXPECT_EQ(nullptr, FindWindowA("VX Overlay Window", nullptr)) << "no lens window";
    EXPECT_TRUE(CompositionCalls().empty()) << "composition is left alone";
    Close();
    EXPECT_TRUE(WaitForNotification(kNotifyEnded));
    EXPECT_TRUE(Reports().empty());
}

// Overlays that take only one packed-YUV format, on devices with and without pixel shader 2.0.
// The shader's floats may differ from the processor's integers by one step. Frames drawn before
// the main program sets the brightness at lens-up are not darker.
struct FourCCCase {
    const char* name;
    const char* fourCC;
    DWORD pixelShaderVersion; // 0: the device's own
    int tolerance;
    bool brightnessSet = true; // as the main program does at lens-up
};

class FourCCOverlay : public FrameLoop, public ::testing::WithParamInterface<FourCCCase> {};

TEST_P(FourCCOverlay, ShowsTheLensImageInItsByteOrder) {
    const FourCCCase& c = GetParam();
    PatternWindow pattern(400, 360, 400, 280, DetailPattern(400, 280, 41));
    ASSERT_TRUE(pattern.WaitUntilShown());
    fake.AcceptOverlayFormat(FakeFourCCFormat(c.fourCC));
    fake.SetRowPadding(8);
    Direct3DScript script;
    script.pixelShaderVersion = c.pixelShaderVersion;
    ScriptedDirect3D scripted(&script);
    const UINT width = record.engine.lensWidth;
    const UINT height = record.engine.lensHeight;
    record.engine.sourceWidth = width; // zoom 1
    record.engine.sourceHeight = height;
    Start();
    if (c.brightnessSet) {
        qxSetBrightnessMagnifier(1, 1000 - qxSetBrightnessMagnifier(0, 0));
    }
    const int flips = Flips();
    ASSERT_TRUE(WaitUntil([&] { return Flips() >= flips + 3; }));
    Close();

    // At zoom 1 the source is the lens rectangle itself, centred on the pointer plus one.
    const std::vector<uint32_t> screen =
        ReadScreen(601 - static_cast<int>(width / 2), 501 - static_cast<int>(height / 2),
                   static_cast<int>(width), static_cast<int>(height));
    std::vector<uint8_t> expected(width * 2 * height);
    (std::string(c.fourCC) == "YUY2" ? RgbToYuy2 : RgbToUyvy)(
        height, static_cast<int32_t>(width), screen.data(), expected.data(),
        static_cast<int32_t>(width * 4), static_cast<int32_t>(width * 2));
    FakeSurface* overlay = fake.Surface(FakeRole::Overlay);
    int worst = 0;
    for (UINT y = 0; y < height; ++y) {
        const BYTE* shown = overlay->Bits() + static_cast<size_t>(y) * overlay->Pitch();
        for (UINT i = 0; i < width * 2; ++i) {
            worst = std::max(worst, std::abs(shown[i] - expected[y * width * 2 + i]));
        }
    }
    EXPECT_LE(worst, c.tolerance) << "largest difference from the lens image's conversion";
    const Calls locks = RecordedCallsStartingWith("backbuffer.Lock");
    EXPECT_FALSE(locks.empty());
    for (const std::string& lock : locks) {
        EXPECT_NE(std::string::npos, lock.find("flags=0x821")) << lock;
    }
    EXPECT_TRUE(Reports().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FourCCOverlay,
    ::testing::Values(FourCCCase{"Yuy2ByShader", "YUY2", 0, 1},
                      FourCCCase{"UyvyByShader", "UYVY", 0, 1},
                      FourCCCase{"Yuy2ByProcessor", "YUY2", D3DPS_VERSION(1, 4), 0},
                      FourCCCase{"UyvyByProcessor", "UYVY", D3DPS_VERSION(1, 4), 0},
                      FourCCCase{"BrightnessNotYetSet", "YUY2", 0, 1, false}),
    [](const ::testing::TestParamInfo<FourCCCase>& info) { return info.param.name; });

TEST_F(FrameLoop, LostSurfacesAreRestoredAndTheRunGoesOn) {
    AcceptRgbOverlays();
    fake.QueueResult(FakeRole::Overlay, FakeMethod::Flip, DDERR_SURFACELOST);
    Start();
    ASSERT_TRUE(WaitUntil([&] { return Flips() >= 3; }));
    EXPECT_EQ(1u, RecordedCallsStartingWith("primary.Restore").size());
    EXPECT_EQ(1u, RecordedCallsStartingWith("overlay.Restore").size());
    EXPECT_EQ(1u, RecordedCallsStartingWith("offscreen.Restore").size());
    EXPECT_EQ(0, CountNotifications(kNotifySurfaceLost));
}

TEST_F(FrameLoop, SurfaceThatCannotBeRestoredEndsTheRunWithCode2) {
    AcceptRgbOverlays();
    fake.QueueResult(FakeRole::Overlay, FakeMethod::Flip, DDERR_SURFACELOST);
    fake.SetResult(FakeRole::Primary, FakeMethod::Restore, DDERR_GENERIC);
    Start();
    EXPECT_TRUE(WaitForNotification(kNotifySurfaceLost));
    EXPECT_TRUE(RecordedCallsStartingWith("overlay.Restore").empty())
        << "the overlay is restored only after the primary";
}

// A busy overlay ends the run with code 2, any other flip failure with code 3 and a report; the
// run ends before the overlay is moved, as a move after it could undo the end or report a second
// failure.
struct EndingFlip {
    const char* name;
    HRESULT flip;
    HRESULT move; // what the move would answer
    int code;
    const char* report; // of the flip; null: none
};

const char kFlipReport[] = "FAILED - lpDDSOverlay->Flip - bOverlayFormats: 0";

class FlipThatEndsTheRun : public FrameLoop, public ::testing::WithParamInterface<EndingFlip> {};

TEST_P(FlipThatEndsTheRun, EndsItWithItsCodeBeforeTheOverlayIsMoved) {
    const EndingFlip& c = GetParam();
    AcceptRgbOverlays();
    fake.QueueResult(FakeRole::Overlay, FakeMethod::Flip, c.flip);
    fake.QueueResult(FakeRole::Overlay, FakeMethod::SetOverlayPosition, c.move);
    Start();
    EXPECT_TRUE(WaitForNotification(c.code));
    EXPECT_TRUE(WaitForEnd(thread)) << "the thread ended by itself";
    EXPECT_TRUE(RecordedCallsStartingWith("overlay.SetOverlayPosition").empty());
    const Calls reports = c.report == nullptr ? Calls{}
                                              : Calls{std::string("qxRecordError ") + c.report +
                                                      "|" + std::to_string(c.flip) + "|magnifier"};
    EXPECT_EQ(reports, Reports());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FlipThatEndsTheRun,
    ::testing::Values(EndingFlip{"Busy", DDERR_SURFACEBUSY, DD_OK, kNotifySurfaceLost, nullptr},
                      EndingFlip{"BusyThenSurfaceLost", DDERR_SURFACEBUSY, DDERR_SURFACELOST,
                                 kNotifySurfaceLost, nullptr},
                      EndingFlip{"Failed", DDERR_GENERIC, DD_OK, kNotifyPresentFailed, kFlipReport},
                      EndingFlip{"FailedThenFailed", DDERR_GENERIC, DDERR_GENERIC,
                                 kNotifyPresentFailed, kFlipReport}),
    [](const ::testing::TestParamInfo<EndingFlip>& info) { return info.param.name; });

TEST_F(FrameLoop, FailedMoveEndsTheRunWithCode3AndAReport) {
    AcceptRgbOverlays();
    fake.SetResult(FakeRole::Overlay, FakeMethod::SetOverlayPosition, DDERR_GENERIC);
    Start();
    EXPECT_TRUE(WaitForNotification(kNotifyPresentFailed));
    EXPECT_EQ((Calls{"qxRecordError FAILED - SetOverlayPosition|" +
                     std::to_string(static_cast<int>(DDERR_GENERIC)) + "|magnifier"}),
              Reports());
}

TEST_F(FrameLoop, InvalidPositionKeepsTheOverlayHiddenUntilItCanBeShownAgain) {
    const FrameCounter frames(&record);
    AcceptRgbOverlays();
    fake.QueueResult(FakeRole::Overlay, FakeMethod::SetOverlayPosition, DDERR_INVALIDPOSITION);
    Start();
    ASSERT_TRUE(WaitUntil([&] { return !fake.Surface(FakeRole::Overlay)->OverlayShown(); }))
        << "hidden after an invalid position";
    const int flipsWhileHidden = Flips();
    const int framesWhileHidden = frames();
    ASSERT_TRUE(WaitUntil([&] { return frames() >= framesWhileHidden + 3; }));
    EXPECT_EQ(flipsWhileHidden, Flips()) << "no frame is presented while hidden";

    MovePointer(640, 480);
    ASSERT_TRUE(WaitUntil([&] { return fake.Surface(FakeRole::Overlay)->OverlayShown(); }))
        << "shown again once the overlay is reported not visible at a new position";
    ASSERT_TRUE(WaitUntil([&] { return Flips() > flipsWhileHidden; }));
    EXPECT_EQ(0, CountNotifications(kNotifyPresentFailed));
}

TEST_F(FrameLoop, OverlayThatCannotBeShownGivesTheLensWindowWithCompositionOff) {
    AcceptRgbOverlays();
    fake.SetResult(FakeRole::Overlay, FakeMethod::UpdateOverlay, DDERR_GENERIC);
    SetComposition(1);
    Start();
    EXPECT_EQ(2, fake.SurfacesCreated(FakeRole::Overlay)) << "one retry";
    EXPECT_NE(nullptr, FindWindowA("VX Overlay Window", nullptr));
    EXPECT_EQ(0u, Composition()) << "off during the run";
    Close();
    EXPECT_EQ(1u, Composition()) << "back on at the end";
    EXPECT_EQ((Calls{"DwmEnableComposition 0", "DwmEnableComposition 1"}), CompositionCalls());
}

TEST_F(FrameLoop, WithoutOverlayHardwareCompositionIsSwitchedOffOnlyWhenItWasOn) {
    fake.AdvertiseOverlays(false);
    SetComposition(0);
    Start();
    EXPECT_NE(nullptr, FindWindowA("VX Overlay Window", nullptr));
    EXPECT_EQ(0, fake.OutstandingReferences()) << "the lens window needs no DirectDraw object";
    Close();
    EXPECT_TRUE(CompositionCalls().empty());
    EXPECT_EQ(0u, Composition());
}

TEST_F(FrameLoop, OneWindowModeReleasesTheOverlayAndLeavesCompositionAlone) {
    AcceptRgbOverlays();
    record.engine.displayMode = 2;
    SetComposition(1);
    Start();
    EXPECT_EQ(0, fake.Surface(FakeRole::Overlay)->References());
    EXPECT_NE(nullptr, FindWindowA("VX Overlay Window", nullptr));
    Close();
    EXPECT_TRUE(CompositionCalls().empty());
    EXPECT_EQ(1u, Composition());
}

// The lens window needs no DirectDraw: a DirectDraw that fails is reported and the lens goes on.
TEST_F(FrameLoop, FailedDirectDrawSetUpIsReportedAndTheLensGoesOnInItsWindow) {
    const FrameCounter frames(&record);
    fake.SetStepResult(FakeStep::CreatePrimary, DDERR_GENERIC);
    Start();
    StoreShared(record.engine.captureRequest, 1);
    EXPECT_TRUE(WaitUntil([&] { return LoadShared(record.engine.captureRequest) == 0; }))
        << "a pending copy is served";
    HWND lens = FindWindowA("VX Overlay Window", nullptr);
    EXPECT_TRUE(lens != nullptr && IsWindowVisible(lens));
    const int served = frames();
    EXPECT_TRUE(WaitUntil([&] { return frames() >= served + 3; })) << "the run goes on";
    Close();
    EXPECT_EQ(0, CountNotifications(kNotifySetupFailed)) << "the lens was not switched off";
    EXPECT_TRUE(WaitForNotification(kNotifyEnded));
    EXPECT_EQ((Calls{"qxRecordError CreateSurface lpDDSPrimary|" +
                     std::to_string(static_cast<int>(DDERR_GENERIC)) + "|magnifier"}),
              Reports());
}

TEST_F(FrameLoop, CopyWithoutAnImageContextIsClearedAndReported) {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    StartErrorReporter();
    ClipboardCopy copy;
    uint32_t request = 1;
    SetLastError(ERROR_INVALID_HANDLE);
    copy.Serve(nullptr, 256, 128, request);
    StopErrorReporter();
    EXPECT_EQ(0u, request);
    EXPECT_EQ((Calls{"qxRecordError FAILED - Back to Clipboard|" +
                     std::to_string(ERROR_INVALID_HANDLE) + "|magnifier"}),
              Reports());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP)) << "nothing reached the clipboard";
}

// The pause is far longer than any wait of a test, so that nothing here can come from its end.
TEST_F(FrameLoop, FirstFrameComesBeforeTheFirstPauseAndANewBrightnessAtOnce) {
    const FrameCounter frames(&record);
    const LONG before = frames();
    fake.AdvertiseOverlays(false);
    record.engine.frameWait = 20 * kPatienceMs;
    Start();
    HWND lens = nullptr;
    RECT at = {};
    EXPECT_TRUE(WaitUntil([&] {
        lens = FindWindowA("VX Overlay Window", nullptr);
        return lens != nullptr && GetWindowRect(lens, &at) && at.left == 601 - 128;
    })) << "the lens stands at the pointer at once";
    EXPECT_EQ(501 - 64, at.top);
    EXPECT_TRUE(IsWindowVisible(lens));
    EXPECT_EQ(1, frames() - before);

    qxSetBrightnessMagnifier(1, 1000 - qxSetBrightnessMagnifier(0, 0));
    EXPECT_TRUE(WaitUntil([&] { return frames() - before == 2; }))
        << "the main program's brightness at lens-up is shown without waiting for the pause";
    Sleep(200);
    EXPECT_EQ(2, frames() - before) << "then the pause goes on";
    EXPECT_EQ(1, g_timerRaised) << "the timer at 1 ms while the lens runs";
}

// Only the overlay's frames are read back from Direct3D; its clipboard copy is taken from the
// last frame that was.
TEST_F(FrameLoop, FrameThatCannotBeReadBackLeavesTheLensImageAsItWas) {
    PatternWindow pattern(300, 300, 160, 120, DetailPattern(160, 120, 7));
    ASSERT_TRUE(pattern.WaitUntilShown());
    EmptyTheClipboard();
    Direct3DScript script;
    ScriptedDirect3D scripted(&script);
    AcceptRgbOverlays();
    record.engine.frameWait = 60000;
    SetCursorPos(380, 360);
    Start();
    // Each copy comes with the next frame, which a new brightness brings at once.
    const auto copyNextFrame = [&](ClipboardImage* copy) {
        StoreShared(record.engine.captureRequest, 1);
        qxSetBrightnessMagnifier(1, 500);
        return WaitForCaptureServed(record) && ReadClipboardElsewhere(copy);
    };
    ClipboardImage read;
    ASSERT_TRUE(copyNextFrame(&read));
    SetCursorPos(340, 330);
    script.readBackAnswers.push_back(D3DERR_INVALIDCALL);
    ClipboardImage notRead;
    ASSERT_TRUE(copyNextFrame(&notRead));
    EXPECT_EQ(0, CopyMismatches(notRead, read.pixels));
    EmptyTheClipboard();
}

// Ways the lens cannot come up: the engine tells the main program with code 0, which switches
// the lens off, instead of leaving it believing the lens is on.
struct StartFailure {
    const char* name;
    uint32_t lensWidth;
    uint32_t lensHeight;
    int objectFailures;           // Direct3D objects that cannot be made
    std::vector<HRESULT> devices; // what device creation answers
    bool lensClassTaken = false;  // the lens window's class is held by another window class
    const char* report = "qxRecordError Failed InitDirect3D|399|magnifier";
};

constexpr char kNoWindow[] = "qxRecordError Failed CreateWindowEx|1410|magnifier";

class FailedStart : public FrameLoop, public ::testing::WithParamInterface<StartFailure> {};

TEST_P(FailedStart, SendsCode0AndShowsNothing) {
    const StartFailure& c = GetParam();
    Direct3DScript script;
    script.objectFailures = c.objectFailures;
    script.deviceAnswers.assign(c.devices.begin(), c.devices.end());
    ScriptedDirect3D scripted(&script);
    record.engine.lensWidth = c.lensWidth;
    record.engine.lensHeight = c.lensHeight;
    const WNDCLASSA taken = {0,       DefWindowProcA, 0,       0,       GetModuleHandleA(nullptr),
                             nullptr, nullptr,        nullptr, nullptr, "VX Overlay Window"};
    ASSERT_TRUE(!c.lensClassTaken || RegisterClassA(&taken) != 0);
    thread = qxCreateMagnifier(&record.engine, TestCallback);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(WaitForNotification(kNotifySetupFailed));
    EXPECT_TRUE(WaitForEnd(thread)) << "the thread ended by itself";
    EXPECT_EQ(0, CountNotifications(kNotifyLensUp));
    EXPECT_EQ(1u, Notifications().size());
    ASSERT_FALSE(Reports().empty());
    EXPECT_EQ(c.report, Reports().back());
    EXPECT_EQ(nullptr, FindWindowA("VX Overlay Window", nullptr));
    UnregisterClassA("VX Overlay Window", GetModuleHandleA(nullptr));
}

INSTANTIATE_TEST_SUITE_P(
    Causes, FailedStart,
    ::testing::Values(StartFailure{"NoDirect3D", 256, 128, 2, {}},
                      StartFailure{"NoDevice", 256, 128, 0, {D3DERR_INVALIDCALL, E_FAIL}},
                      StartFailure{"EmptyLens", 0, 0, 0, {}},
                      StartFailure{"NoLensWindow", 256, 128, 0, {}, true, kNoWindow}),
    [](const ::testing::TestParamInfo<StartFailure>& info) { return info.param.name; });

TEST_F(FrameLoop, DeviceThatCannotBeMadeAgainEndsTheRunWithCode2) {
    AcceptRgbOverlays();
    record.engine.frameWait = 300;
    Direct3DScript script;
    ScriptedDirect3D scripted(&script);
    Start();
    // The overlay's frames are drawn by Direct3D; from the next frame on the device is lost, then
    // broken, and no new Direct3D object can be made.
    script.objectFailures = 2;
    script.cooperativeAnswers.push_back(D3DERR_DRIVERINTERNALERROR);
    script.readBackAnswers.push_back(D3DERR_DEVICELOST);
    qxSetBrightnessMagnifier(1, 1500);
    EXPECT_TRUE(WaitForNotification(kNotifySurfaceLost));
    EXPECT_TRUE(WaitForEnd(thread)) << "the thread ended by itself";
    EXPECT_EQ((Calls{"qxRecordError Direct3DCreate9 failed|178|3Dmagnifier"}), Reports());
}

TEST_F(FrameLoop, CloseDuringDeviceRetriesCutsThePausesShort) {
    Direct3DScript script;
    script.deviceAnswers.assign(500, D3DERR_DEVICELOST);
    script.realPauses = true;
    ScriptedDirect3D scripted(&script);
    thread = qxCreateMagnifier(&record.engine, TestCallback);
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(WaitUntil([&] { return script.deviceCalls >= 4; })) << "retrying";
    const int calls = script.deviceCalls;
    Close();
    EXPECT_LE(script.deviceCalls, calls + 1) << "the close cut the pauses between tries short";
    EXPECT_TRUE(WaitForNotification(kNotifyEnded)) << "a closed start-up ends as closed";
    EXPECT_EQ(0, CountNotifications(kNotifySetupFailed));
    EXPECT_EQ(0, CountNotifications(kNotifyLensUp));
}

// Over a second of a still screen the lens starts no more frames than the monitor shows (at the
// rate the engine reads for it), nor, where composition is on, than the compositor's frames.
TEST_F(FrameLoop, FramesNeverOutnumberTheRefreshNorTheCompositorsFrames) {
    PreloadedFake caret("qxgetcaretpos", "full"); // asked once a frame: counts the frames
    const auto frames = BindProc<LONG (*)()>(caret.Module(), "FakeCaretQueries");
    record.engine.followFocus = 1;
    record.engine.displayMode = 2; // the lens window, with composition left as it is
    for (const uint32_t wait : {0u, 5u, 50u}) {
        record.engine.frameWait = wait;
        SetComposition(wait == 50 ? 1 : 0);
        const LONG first = frames();
        Start();
        ASSERT_TRUE(WaitUntil([&] { return frames() >= first + 2; }));
        const LONG framesBefore = frames();
        ClearRecordedCalls();
        const double start = NowMs();
        Sleep(1000);
        const LONG counted = frames() - framesBefore;
        const double hz = MonitorRefreshHz(IntRect{0, 0, 1, 1});
        EXPECT_LE(counted, (NowMs() - start) * hz / 1000.0 + 2.0) << "frame wait " << wait;
        const size_t flushes = RecordedCallsStartingWith("DwmFlush").size();
        EXPECT_LE(counted, wait == 50 ? static_cast<LONG>(flushes) + 1 : counted) << "one each";
        Close();
        ClearNotifications();
    }
}

} // namespace
