// DirectDraw set-up of the engine: format negotiation, set-up failures and releases against the
// fake driver, and the window-path surfaces against the platform's own DirectDraw.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "engine_state.h"
#include "error_reporter.h"
#include "fake_directdraw.h"
#include "overlay.h"
#include "test_support.h"

namespace {

constexpr DWORD kLensWidth = 320;
constexpr DWORD kLensHeight = 200;

const DDPIXELFORMAT kRgbMasked = FakeRgbFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF);
const DDPIXELFORMAT kRgbUnmasked = FakeRgbFormat(32, 0, 0, 0);
const DDPIXELFORMAT kYuy2 = FakeFourCCFormat("YUY2");
const DDPIXELFORMAT kUyvy = FakeFourCCFormat("UYVY");

// The formats in the order the engine must try them.
const DDPIXELFORMAT* const kTableOrder[] = {&kRgbMasked, &kRgbUnmasked, &kYuy2, &kUyvy};

bool SameBytes(const void* a, const void* b, size_t size) {
    return std::memcmp(a, b, size) == 0;
}

std::vector<DDSURFACEDESC> OverlayRequests(const FakeDirectDraw& fake) {
    std::vector<DDSURFACEDESC> overlays;
    for (const DDSURFACEDESC& request : fake.CreateSurfaceRequests()) {
        if ((request.ddsCaps.dwCaps & DDSCAPS_OVERLAY) != 0) {
            overlays.push_back(request);
        }
    }
    return overlays;
}

IDirectDrawSurface* InterfaceOf(FakeSurface* surface) {
    return surface != nullptr ? surface->Interface() : nullptr;
}

// Waits for notification 0 and a moment more, so that a second one would have arrived too.
int SetupFailedNotifications() {
    WaitForNotification(kNotifySetupFailed);
    Sleep(100);
    int count = 0;
    for (const Notification& n : Notifications()) {
        count += n.code == kNotifySetupFailed ? 1 : 0;
    }
    return count;
}

class DirectDrawSetup : public ::testing::Test {
protected:
    void SetUp() override {
        g_Callback = TestCallback;
        InterlockedExchange(&g_Brightness, 1500);
        ClearNotifications();
        ClearRecordedCalls();
    }
    void TearDown() override {
        ReleaseDirectDraw(display_);
        EXPECT_EQ(0, fake_.OutstandingReferences()) << "references left after ReleaseDirectDraw";
        for (const std::string& problem : fake_.Problems()) {
            ADD_FAILURE() << problem;
        }
        g_Callback = nullptr;
    }
    int Init(DWORD width = kLensWidth, DWORD height = kLensHeight) {
        return InitDirectDraw(display_, width, height);
    }

    FakeDirectDraw fake_;
    DisplaySurfaces display_;
};

// ---- Negotiation --------------------------------------------------------------------------

struct NegotiationCase {
    const char* name;
    std::vector<const DDPIXELFORMAT*> accepted;
    DWORD caps;
    DWORD visibleOverlays;
    bool capsQueryFails;
    uint8_t expectedFormat;
    size_t expectedTries;
};

class Negotiation : public DirectDrawSetup,
                    public ::testing::WithParamInterface<NegotiationCase> {};

TEST_P(Negotiation, EndsAtTheFirstFormatTheDriverTakesAndClearsTheBrightness) {
    const NegotiationCase& c = GetParam();
    for (const DDPIXELFORMAT* format : c.accepted) {
        fake_.AcceptOverlayFormat(*format);
    }
    fake_.SetDriverCaps(c.caps, c.visibleOverlays);
    if (c.capsQueryFails) {
        fake_.SetStepResult(FakeStep::GetCaps, DDERR_GENERIC);
    }

    const int result = Init();

    const bool overlay = c.expectedFormat < kNoOverlay;
    EXPECT_EQ(overlay ? 1 : 0, result);
    EXPECT_EQ(c.expectedFormat, display_.bOverlayFormats);
    EXPECT_EQ(0, g_Brightness) << "every set-up clears the brightness";
    DDCOLORCONTROL cleared = {};
    cleared.dwSize = 40;
    cleared.dwFlags = DDCOLOR_BRIGHTNESS;
    EXPECT_TRUE(SameBytes(&cleared, &display_.colorControl, sizeof(cleared)));

    const std::vector<DDSURFACEDESC> tried = OverlayRequests(fake_);
    ASSERT_EQ(c.expectedTries, tried.size()) << "overlay formats tried";
    for (size_t i = 0; i < tried.size(); ++i) {
        EXPECT_TRUE(SameBytes(kTableOrder[i], &tried[i].ddpfPixelFormat, sizeof(DDPIXELFORMAT)))
            << "try " << i << " is table entry " << i;
    }

    EXPECT_NE(nullptr, display_.lpDD);
    EXPECT_EQ(InterfaceOf(fake_.Surface(FakeRole::Offscreen)), display_.lpDDSBackTransparent);
    EXPECT_EQ(InterfaceOf(fake_.Surface(FakeRole::Primary)), display_.lpDDSPrimary);
    EXPECT_NE(nullptr, display_.lpDDSPrimary);
    if (overlay) {
        EXPECT_NE(nullptr, display_.lpDDSOverlay);
        EXPECT_EQ(InterfaceOf(fake_.Surface(FakeRole::Overlay)), display_.lpDDSOverlay);
    } else {
        EXPECT_EQ(nullptr, display_.lpDDSOverlay);
    }
    const bool packed = c.expectedFormat == kOverlayYuy2 || c.expectedFormat == kOverlayUyvy;
    IDirectDrawSurface* back = InterfaceOf(fake_.Surface(FakeRole::BackBuffer));
    EXPECT_EQ(overlay && packed ? back : nullptr, display_.lpDDSFOURCC);
    EXPECT_EQ(overlay && !packed ? back : nullptr, display_.lpDDSBack2);

    Sleep(50);
    EXPECT_TRUE(Notifications().empty()) << "a refused overlay is no failure";
}

const DWORD kOverlayCaps = DDCAPS_OVERLAY | DDCAPS_OVERLAYFOURCC;

INSTANTIATE_TEST_SUITE_P(
    DriverOffers, Negotiation,
    ::testing::Values(
        NegotiationCase{"OnlyUyvy", {&kUyvy}, kOverlayCaps, 1, false, kOverlayUyvy, 4},
        NegotiationCase{"OnlyYuy2", {&kYuy2}, kOverlayCaps, 1, false, kOverlayYuy2, 3},
        NegotiationCase{
            "BothPackedFormats", {&kUyvy, &kYuy2}, kOverlayCaps, 1, false, kOverlayYuy2, 3},
        NegotiationCase{
            "RgbWithMasks", {&kYuy2, &kRgbMasked}, kOverlayCaps, 1, false, kOverlayRgbMasked, 1},
        NegotiationCase{
            "RgbWithoutMasks", {&kUyvy, &kRgbUnmasked}, kOverlayCaps, 1, false, kOverlayRgb, 2},
        NegotiationCase{"NoFormat", {}, kOverlayCaps, 1, false, kNoOverlay, 4},
        NegotiationCase{"NoOverlayCapability", {&kRgbMasked, &kYuy2}, 0, 0, false, kNoOverlay, 0},
        NegotiationCase{
            "OverlayFlagButNoVisibleOverlay", {&kRgbMasked}, kOverlayCaps, 0, false, kNoOverlay, 0},
        NegotiationCase{"VisibleOverlayButNoOverlayFlag",
                        {&kRgbMasked},
                        DDCAPS_OVERLAYFOURCC,
                        1,
                        false,
                        kNoOverlay,
                        0},
        NegotiationCase{
            "CapabilitiesUnreadable", {&kRgbMasked}, kOverlayCaps, 1, true, kNoOverlay, 0}),
    [](const ::testing::TestParamInfo<NegotiationCase>& info) { return info.param.name; });

// ---- What is asked of the driver ----------------------------------------------------------

TEST_F(DirectDrawSetup, AsksForTheDocumentedObjectsAndSurfaces) {
    fake_.AcceptOverlayFormat(kUyvy); // so that every overlay format is asked for
    ASSERT_EQ(1, Init());

    const std::vector<std::string> calls = RecordedCalls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ("DirectDrawCreate driver=null outer=null -> 0x0", calls[0]);
    EXPECT_EQ("ddraw.QueryInterface IDirectDraw2 -> 0x0", calls[1]);
    EXPECT_EQ("ddraw.Release -> 0", calls[2]) << "the first interface is given up at once";
    EXPECT_EQ("ddraw2.SetCooperativeLevel window=null flags=0x8 -> 0x0", calls[3]);

    const std::vector<DDSURFACEDESC> requests = fake_.CreateSurfaceRequests();
    ASSERT_EQ(6u, requests.size());

    DDSURFACEDESC transparent = {};
    transparent.dwSize = 108;
    transparent.dwFlags = 0x1007;
    transparent.dwWidth = kLensWidth;
    transparent.dwHeight = kLensHeight;
    transparent.ddsCaps.dwCaps = 0x840;
    transparent.ddpfPixelFormat = kRgbMasked;
    EXPECT_TRUE(SameBytes(&transparent, &requests[0], 108)) << "system-memory surface";

    DDSURFACEDESC primary = {};
    primary.dwSize = 108;
    primary.dwFlags = 1;
    primary.ddsCaps.dwCaps = 0x200;
    EXPECT_TRUE(SameBytes(&primary, &requests[1], 108)) << "primary surface";

    for (size_t i = 0; i < 4; ++i) {
        DDSURFACEDESC overlay = {};
        overlay.dwSize = 108;
        overlay.dwFlags = 0x1027;
        overlay.dwWidth = kLensWidth;
        overlay.dwHeight = kLensHeight;
        overlay.dwBackBufferCount = 1;
        overlay.ddsCaps.dwCaps = 0x4098;
        overlay.ddpfPixelFormat = *kTableOrder[i];
        EXPECT_TRUE(SameBytes(&overlay, &requests[2 + i], 108)) << "overlay try " << i;
    }
}

TEST_F(DirectDrawSetup, SizesTheSurfacesFromTheLensSizeAtCallTime) {
    fake_.AcceptOverlayFormat(kRgbMasked);
    ASSERT_EQ(1, Init());
    ReleaseDirectDraw(display_);
    ASSERT_EQ(1, Init(128, 64));

    EXPECT_EQ(128u, fake_.Surface(FakeRole::Offscreen)->Width());
    EXPECT_EQ(64u, fake_.Surface(FakeRole::Offscreen)->Height());
    EXPECT_EQ(128u, fake_.Surface(FakeRole::Overlay)->Width());
    EXPECT_EQ(64u, fake_.Surface(FakeRole::Overlay)->Height());
}

// ---- Set-up failures -----------------------------------------------------------------------

struct FailureCase {
    const char* name;
    std::function<void(FakeDirectDraw&)> arrange;
    const char* report;
    HRESULT code;
};

class SetupFailure : public DirectDrawSetup, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SetupFailure, ReleasesEverythingReportsTheStepAndTellsTheMainProgramOnce) {
    const FailureCase& c = GetParam();
    c.arrange(fake_);
    PreloadedFake sender("qxsender", "full");
    StartErrorReporter();
    ClearRecordedCalls();

    EXPECT_EQ(0, Init());

    EXPECT_EQ(nullptr, display_.lpDD);
    EXPECT_EQ(nullptr, display_.lpDDSBackTransparent);
    EXPECT_EQ(nullptr, display_.lpDDSPrimary);
    EXPECT_EQ(nullptr, display_.lpDDSOverlay);
    EXPECT_EQ(nullptr, display_.lpDDSBack2);
    EXPECT_EQ(nullptr, display_.lpDDSFOURCC);
    EXPECT_EQ(0, fake_.OutstandingReferences()) << "no DirectDraw object is left alive";
    EXPECT_EQ(std::vector<std::string>{"qxRecordError " + std::string(c.report) + "|" +
                                       std::to_string(static_cast<int>(c.code)) + "|magnifier"},
              RecordedCallsStartingWith("qxRecordError"));
    EXPECT_EQ(1, SetupFailedNotifications());
    StopErrorReporter();
}

INSTANTIATE_TEST_SUITE_P(
    AtEveryStep, SetupFailure,
    ::testing::Values(
        FailureCase{
            "Create",
            [](FakeDirectDraw& f) { f.SetStepResult(FakeStep::Create, DDERR_NODIRECTDRAWHW); },
            "DirectDrawCreate", DDERR_NODIRECTDRAWHW},
        FailureCase{
            "QueryInterface",
            [](FakeDirectDraw& f) { f.SetStepResult(FakeStep::QueryInterface, E_NOINTERFACE); },
            "QueryInterface", E_NOINTERFACE},
        FailureCase{"SetCooperativeLevel",
                    [](FakeDirectDraw& f) {
                        f.SetStepResult(FakeStep::SetCooperativeLevel, DDERR_INVALIDPARAMS);
                    },
                    "SetCooperativeLevel", DDERR_INVALIDPARAMS},
        FailureCase{"BackTransparent",
                    [](FakeDirectDraw& f) {
                        f.SetStepResult(FakeStep::CreateOffscreen, DDERR_OUTOFMEMORY);
                    },
                    "CreateSurface lpDDSBackTransparent", DDERR_OUTOFMEMORY},
        // A surface that comes with an unexpected success code is still released.
        FailureCase{"BackTransparentOddSuccess",
                    [](FakeDirectDraw& f) { f.SetStepResult(FakeStep::CreateOffscreen, S_FALSE); },
                    "CreateSurface lpDDSBackTransparent", S_FALSE},
        FailureCase{"Primary",
                    [](FakeDirectDraw& f) {
                        f.SetStepResult(FakeStep::CreatePrimary, DDERR_NOEXCLUSIVEMODE);
                    },
                    "CreateSurface lpDDSPrimary", DDERR_NOEXCLUSIVEMODE},
        FailureCase{"PackedBackBuffer",
                    [](FakeDirectDraw& f) {
                        f.AcceptOverlayFormat(kYuy2);
                        f.SetStepResult(FakeStep::GetAttachedSurface, DDERR_NOTFOUND);
                    },
                    "DDSCAPS_BACKBUFFER, lpDDSFOURCC", DDERR_NOTFOUND},
        FailureCase{"RgbBackBuffer",
                    [](FakeDirectDraw& f) {
                        f.AcceptOverlayFormat(kRgbUnmasked);
                        f.SetStepResult(FakeStep::GetAttachedSurface, DDERR_GENERIC);
                    },
                    "DDSCAPS_BACKBUFFER, lpDDSBack2", DDERR_GENERIC}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(DirectDrawSetup, FailureWithoutReporterStillTellsTheMainProgram) {
    fake_.SetStepResult(FakeStep::CreatePrimary, DDERR_GENERIC);
    EXPECT_EQ(0, Init());
    EXPECT_EQ(0, fake_.OutstandingReferences());
    EXPECT_TRUE(RecordedCallsStartingWith("qxRecordError").empty());
    EXPECT_EQ(1, SetupFailedNotifications());
}

// ---- Releases ------------------------------------------------------------------------------

TEST_F(DirectDrawSetup, ReleasingOverlaySurfacesWithoutDirectDrawDoesNothing) {
    ReleaseOverlaySurfaces(display_);
    ReleaseDirectDraw(display_);
    EXPECT_TRUE(RecordedCalls().empty());

    fake_.SetStepResult(FakeStep::SetCooperativeLevel, DDERR_GENERIC);
    EXPECT_EQ(0, Init());
    ClearRecordedCalls();
    ReleaseOverlaySurfaces(display_);
    ReleaseDirectDraw(display_);
    EXPECT_TRUE(RecordedCalls().empty()) << "after a failed set-up nothing is left to release";
}

TEST_F(DirectDrawSetup, ReleasingOverlaySurfacesHidesThenReleasesTheChainAndPrimaryOnce) {
    fake_.AcceptOverlayFormat(kRgbMasked);
    ASSERT_EQ(1, Init());
    IDirectDrawSurface* transparent = display_.lpDDSBackTransparent;
    IDirectDraw2* directDraw = display_.lpDD;
    ClearRecordedCalls();

    ReleaseOverlaySurfaces(display_);

    EXPECT_EQ(
        (std::vector<std::string>{
            "overlay.UpdateOverlay src=null dest=primary rect=null flags=0x200 fx=null -> 0x0",
            "backbuffer.Release -> 0", "overlay.Release -> 0", "primary.Release -> 0"}),
        RecordedCalls());
    EXPECT_EQ(nullptr, display_.lpDDSOverlay);
    EXPECT_EQ(nullptr, display_.lpDDSBack2);
    EXPECT_EQ(nullptr, display_.lpDDSPrimary);
    EXPECT_EQ(directDraw, display_.lpDD) << "the DirectDraw object stays";
    EXPECT_EQ(transparent, display_.lpDDSBackTransparent) << "the system-memory surface stays";

    ClearRecordedCalls();
    ReleaseOverlaySurfaces(display_);
    EXPECT_TRUE(RecordedCalls().empty()) << "a second call releases nothing";
}

TEST_F(DirectDrawSetup, ReleasingDirectDrawReleasesEverySurfaceBeforeTheObject) {
    fake_.AcceptOverlayFormat(kUyvy);
    ASSERT_EQ(1, Init());
    ClearRecordedCalls();

    ReleaseDirectDraw(display_);

    EXPECT_EQ(
        (std::vector<std::string>{
            "offscreen.Release -> 0",
            "overlay.UpdateOverlay src=null dest=primary rect=null flags=0x200 fx=null -> 0x0",
            "backbuffer.Release -> 0", "overlay.Release -> 0", "primary.Release -> 0",
            "ddraw2.Release -> 0"}),
        RecordedCalls());
    EXPECT_EQ(nullptr, display_.lpDD);
    EXPECT_EQ(nullptr, display_.lpDDSBackTransparent);
    EXPECT_EQ(nullptr, display_.lpDDSFOURCC);
    EXPECT_EQ(0, fake_.OutstandingReferences());
}

TEST_F(DirectDrawSetup, ASecondSetUpStartsAfreshWithoutLeakingTheFirst) {
    fake_.AcceptOverlayFormat(kYuy2);
    ASSERT_EQ(1, Init());
    ReleaseDirectDraw(display_);
    ASSERT_EQ(1, Init()) << "set-up, release, set-up again";
    ASSERT_EQ(1, Init()) << "set-up twice in a row: the first one's primary is gone";
    EXPECT_EQ(3, fake_.SurfacesCreated(FakeRole::Primary));
    EXPECT_EQ(kOverlayYuy2, display_.bOverlayFormats);
    EXPECT_EQ(InterfaceOf(fake_.Surface(FakeRole::BackBuffer)), display_.lpDDSFOURCC);
    ReleaseDirectDraw(display_);
    EXPECT_EQ(0, fake_.OutstandingReferences());
}

// ---- The platform's own DirectDraw ---------------------------------------------------------

TEST(PlatformDirectDraw, GivesTheWindowPathAWorkingSystemMemorySurface) {
    DisplaySurfaces display;

    // This display driver advertises no overlay, so the lens window is the path.
    ASSERT_EQ(0, InitDirectDraw(display, 256, 128));
    EXPECT_EQ(kNoOverlay, display.bOverlayFormats);
    ASSERT_NE(nullptr, display.lpDD);
    ASSERT_NE(nullptr, display.lpDDSBackTransparent);
    ASSERT_NE(nullptr, display.lpDDSPrimary);
    EXPECT_EQ(nullptr, display.lpDDSOverlay);

    DDSURFACEDESC description = {};
    description.dwSize = sizeof(description);
    ASSERT_EQ(DD_OK, display.lpDDSBackTransparent->GetSurfaceDesc(&description));
    EXPECT_EQ(256u, description.dwWidth);
    EXPECT_EQ(128u, description.dwHeight);
    EXPECT_EQ(static_cast<DWORD>(DDPF_RGB), description.ddpfPixelFormat.dwFlags & DDPF_RGB);
    EXPECT_EQ(32u, description.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(0x00FF0000u, description.ddpfPixelFormat.dwRBitMask);
    EXPECT_EQ(0x0000FF00u, description.ddpfPixelFormat.dwGBitMask);
    EXPECT_EQ(0x000000FFu, description.ddpfPixelFormat.dwBBitMask);

    DDSURFACEDESC locked = {};
    locked.dwSize = sizeof(locked);
    ASSERT_EQ(DD_OK, display.lpDDSBackTransparent->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr));
    EXPECT_GE(locked.lPitch, 256 * 4);
    BYTE* row = static_cast<BYTE*>(locked.lpSurface) + 5 * locked.lPitch;
    const DWORD pixel = 0x00123456;
    std::memcpy(row + 7 * 4, &pixel, sizeof(pixel));
    ASSERT_EQ(DD_OK, display.lpDDSBackTransparent->Unlock(nullptr));

    HDC dc = nullptr;
    ASSERT_EQ(DD_OK, display.lpDDSBackTransparent->GetDC(&dc));
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), GetPixel(dc, 7, 5)) << "the context shows what the lock wrote";
    EXPECT_EQ(DD_OK, display.lpDDSBackTransparent->ReleaseDC(dc));

    // Hold one reference of our own on each object: after ReleaseDirectDraw ours is the last.
    IDirectDraw2* directDraw = display.lpDD;
    IDirectDrawSurface* transparent = display.lpDDSBackTransparent;
    IDirectDrawSurface* primary = display.lpDDSPrimary;
    directDraw->AddRef();
    transparent->AddRef();
    primary->AddRef();
    ReleaseDirectDraw(display);
    EXPECT_EQ(nullptr, display.lpDD);
    EXPECT_EQ(nullptr, display.lpDDSBackTransparent);
    EXPECT_EQ(nullptr, display.lpDDSPrimary);
    EXPECT_EQ(0u, transparent->Release());
    EXPECT_EQ(0u, primary->Release());
    EXPECT_EQ(0u, directDraw->Release());
}

} // namespace
