// Device creation, device loss and weak devices, with the answers of Direct3D chosen by the test
// and a virtual clock, so that a minute of retries passes in milliseconds.
#include <gtest/gtest.h>

#include <cstring>

#include "d3d_device.h"
#include "desktop_capture.h"
#include "device_loss.h"
#include "error_reporter.h"
#include "frame_render.h"
#include "lens_image.h"
#include "renderer_state.h"
#include "screen_pattern.h"
#include "scripted_direct3d.h"
#include "test_support.h"

namespace {

constexpr POINT kNoCursor = {-1000, -1000};

class DeviceSeams : public ::testing::Test {
protected:
    void SetUp() override {
        ClearRecordedCalls();
        StartErrorReporter();
        window_ = CreateDeviceWindow();
        ASSERT_TRUE(image_.Create(64, 32));
    }
    void TearDown() override {
        ReleaseD3DResources(renderer_);
        ReleaseDirect3D(renderer_);
        StopErrorReporter();
        DestroyWindow(window_);
    }
    int Init() {
        const UINT size[2] = {64, 32};
        return InitDirect3D(renderer_, window_, size, 0);
    }
    void Release() {
        ReleaseD3DResources(renderer_);
        ReleaseDirect3D(renderer_);
    }
    std::vector<std::string> Reports() { return RecordedCallsStartingWith("qxRecordError"); }
    // One frame of the Direct3D route: capture, draw, read back.
    void Frame(std::vector<uint32_t>* pixels) {
        CaptureDesktop(renderer_, image_, screen_, 300, 200, 32, 16, DisplayPath::kNoOverlay);
        RenderFrame(renderer_, DisplayPath::kNoOverlay, kNoCursor, 1000);
        DDSURFACEDESC surface;
        std::memset(&surface, 0, sizeof(surface));
        surface.dwSize = sizeof(surface);
        surface.dwWidth = 64;
        surface.dwHeight = 32;
        surface.lPitch = 64 * 4;
        surface.lpSurface = pixels->data();
        CopyFrameRGB(renderer_, &surface);
    }
    // Draws one 2x frame of the pattern window and checks it arrives exactly.
    void ExpectFrameDraws(const std::vector<uint32_t>& pattern) {
        std::vector<uint32_t> image(64 * 32, 0);
        Frame(&image);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 64; ++x) {
                ASSERT_EQ(0xFF000000u | pattern[(y / 2) * 32 + x / 2], image[y * 64 + x])
                    << "at (" << x << ", " << y << ")";
            }
        }
    }
    PreloadedFake sender_{"qxsender", "full"};
    HWND window_ = nullptr;
    Renderer renderer_;
    LensImage image_;
    const ScreenBounds screen_ = ReadScreenBounds();
};

TEST_F(DeviceSeams, BusyDisplayIsRetriedOnceASecondUntilTheDeviceComes) {
    Direct3DScript script;
    script.deviceAnswers.assign(10, D3DERR_DEVICELOST);
    ScriptedDirect3D scripted(&script);
    EXPECT_EQ(1, Init());
    EXPECT_EQ(5000u, script.sleptMs) << "five retries, a second apart";
    EXPECT_EQ(6, script.objectsCreated) << "a new Direct3D object for every retry";
    EXPECT_EQ(11, script.deviceCalls) << "hardware, then software vertex processing";
    EXPECT_TRUE(Reports().empty());
    EXPECT_NE(nullptr, renderer_.readBackCopy.Get());
}

TEST_F(DeviceSeams, DisplayBusyForAMinuteEndsInAReport) {
    for (HRESULT busy : {D3DERR_DEVICELOST, D3DERR_NOTAVAILABLE}) {
        ClearRecordedCalls();
        Direct3DScript script;
        script.deviceAnswers.assign(500, busy);
        ScriptedDirect3D scripted(&script);
        EXPECT_EQ(0, Init());
        EXPECT_EQ(60000u, script.sleptMs);
        EXPECT_EQ(61, script.objectsCreated);
        EXPECT_EQ(122, script.deviceCalls);
        EXPECT_EQ(
            (std::vector<std::string>{"qxRecordError CreateDevice failed|" +
                                      std::to_string(static_cast<int>(busy)) + "|3Dmagnifier"}),
            Reports());
        Release();
    }
}

TEST_F(DeviceSeams, OtherDeviceFailuresAreNotRetried) {
    Direct3DScript script;
    script.deviceAnswers.assign(2, D3DERR_INVALIDCALL);
    ScriptedDirect3D scripted(&script);
    EXPECT_EQ(0, Init());
    EXPECT_EQ(0u, script.sleptMs);
    EXPECT_EQ(2, script.deviceCalls);
    EXPECT_EQ((std::vector<std::string>{"qxRecordError CreateDevice failed|" +
                                        std::to_string(static_cast<int>(D3DERR_INVALIDCALL)) +
                                        "|3Dmagnifier"}),
              Reports());
}

TEST_F(DeviceSeams, Direct3DObjectIsTriedTwiceASecondApart) {
    Direct3DScript once;
    once.objectFailures = 1;
    {
        ScriptedDirect3D scripted(&once);
        EXPECT_EQ(1, Init());
        EXPECT_EQ(1000u, once.sleptMs);
    }
    Release();
    Direct3DScript twice;
    twice.objectFailures = 2;
    ScriptedDirect3D scripted(&twice);
    EXPECT_EQ(0, Init());
    EXPECT_EQ(1000u, twice.sleptMs);
    EXPECT_EQ((std::vector<std::string>{"qxRecordError Direct3DCreate9 failed|178|3Dmagnifier"}),
              Reports());
}

TEST_F(DeviceSeams, EveryResourceFailureIsReportedByName) {
    const char* const names[] = {
        "CreateTexture g_Texture_BackgroundStretch failed",
        "CreateTexture g_Texture_Final failed",
        "CreateTexture g_RGBRenderBuffer failed",
        "CreateOffscreenPlainSurface g_BackBufferCopy failed",
    };
    int call = 1;
    for (const char* name : names) {
        SCOPED_TRACE(name);
        ClearRecordedCalls();
        Direct3DScript script;
        script.failingResource = call++;
        ScriptedDirect3D scripted(&script);
        EXPECT_EQ(0, Init());
        EXPECT_EQ((std::vector<std::string>{std::string("qxRecordError ") + name + "|" +
                                            std::to_string(static_cast<int>(E_OUTOFMEMORY)) +
                                            "|3Dmagnifier"}),
                  Reports());
        Release();
    }
    ClearRecordedCalls();
    Direct3DScript script;
    script.declarationFailure = E_FAIL;
    ScriptedDirect3D scripted(&script);
    EXPECT_EQ(0, Init());
    EXPECT_EQ((std::vector<std::string>{"qxRecordError CreateVertexDeclaration failed|" +
                                        std::to_string(static_cast<int>(E_FAIL)) + "|3Dmagnifier"}),
              Reports());
}

TEST_F(DeviceSeams, DeviceBelowPixelShader2DrawsWithoutShaders) {
    const std::vector<uint32_t> pixels = DetailPattern(32, 16, 9);
    PatternWindow pattern(300, 200, 32, 16, pixels);
    ASSERT_TRUE(pattern.WaitUntilShown());
    Direct3DScript script;
    script.pixelShaderVersion = D3DPS_VERSION(1, 4);
    ScriptedDirect3D scripted(&script);
    EXPECT_EQ(1, Init());
    EXPECT_EQ(0u, renderer_.pixelShader20);
    ASSERT_TRUE(renderer_.effect);
    ExpectFrameDraws(pixels);
}

// A lost device, from the read-back that reports it to the frame that draws again.
struct LossCase {
    const char* name;
    std::vector<HRESULT> cooperative; // what the device says at the top of each later frame
    std::vector<HRESULT> resets;      // what Reset answers
    int objectFailures;               // Direct3D objects that cannot be made again
    int framesSkipped;                // frames that capture and draw nothing
    int resetsMade;
    int objectsCreated;
    DeviceState last;
    DWORD pausedMs;
};

class DeviceLoss : public DeviceSeams, public ::testing::WithParamInterface<LossCase> {};

TEST_P(DeviceLoss, IsHandledAtTheTopOfTheNextFrame) {
    const LossCase& c = GetParam();
    const std::vector<uint32_t> pixels = DetailPattern(32, 16, 7);
    PatternWindow pattern(300, 200, 32, 16, pixels);
    ASSERT_TRUE(pattern.WaitUntilShown());
    Direct3DScript script;
    ScriptedDirect3D scripted(&script);
    ASSERT_EQ(1, Init());
    IDirect3DSurface9* const readBack = renderer_.readBackCopy.Get();
    IDirect3DTexture9* const capture = renderer_.captureTexture.Get();
    IDirect3DVertexDeclaration9* const declaration = renderer_.vertexDeclaration.Get();
    const d3dx::Effect* const effect = renderer_.effect.get();

    script.readBackAnswers.push_back(D3DERR_DEVICELOST);
    std::vector<uint32_t> image(64 * 32);
    Frame(&image);
    ASSERT_TRUE(renderer_.deviceLost) << "the loss is noted where the read-back reports it";

    script.cooperativeAnswers.assign(c.cooperative.begin(), c.cooperative.end());
    script.resetAnswers.assign(c.resets.begin(), c.resets.end());
    script.objectFailures = c.objectFailures;
    const DWORD before = script.sleptMs;
    DeviceState state = DeviceState::kLost;
    int skipped = 0;
    while ((state = RestoreLostDevice(renderer_)) == DeviceState::kLost && skipped < 10) {
        ++skipped;
    }
    EXPECT_EQ(c.last, state);
    EXPECT_EQ(c.framesSkipped, skipped);
    EXPECT_EQ(c.resetsMade, script.resets);
    EXPECT_EQ(c.objectsCreated, script.objectsCreated);
    EXPECT_EQ(c.pausedMs, script.sleptMs - before);
    if (state != DeviceState::kReady) {
        return;
    }
    if (c.objectsCreated == 1) {
        EXPECT_EQ(readBack, renderer_.readBackCopy.Get()) << "system-memory objects are kept";
        EXPECT_EQ(capture, renderer_.captureTexture.Get());
        EXPECT_EQ(declaration, renderer_.vertexDeclaration.Get());
        EXPECT_EQ(effect, renderer_.effect.get()) << "the effect is kept";
    }
    EXPECT_FALSE(renderer_.deviceLost);
    ExpectFrameDraws(pixels);
    EXPECT_TRUE(Reports().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DeviceLoss,
    ::testing::Values(
        LossCase{"ResetAtOnce", {D3DERR_DEVICENOTRESET}, {}, 0, 0, 1, 1, DeviceState::kReady, 0},
        LossCase{"StillLostForTwoFrames",
                 {D3DERR_DEVICELOST, D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET},
                 {},
                 0,
                 2,
                 1,
                 1,
                 DeviceState::kReady,
                 200},
        LossCase{"BackByItself", {D3D_OK}, {}, 0, 0, 0, 1, DeviceState::kReady, 0},
        LossCase{"ResetLostAgain",
                 {D3DERR_DEVICENOTRESET, D3D_OK},
                 {D3DERR_DEVICELOST},
                 0,
                 1,
                 1,
                 1,
                 DeviceState::kReady,
                 0},
        LossCase{"ResetRefused",
                 {D3DERR_DEVICENOTRESET},
                 {D3DERR_INVALIDCALL},
                 0,
                 0,
                 1,
                 2,
                 DeviceState::kReady,
                 100},
        LossCase{"Broken", {D3DERR_DRIVERINTERNALERROR}, {}, 0, 0, 0, 2, DeviceState::kReady, 100},
        LossCase{"BrokenForGood",
                 {D3DERR_DRIVERINTERNALERROR},
                 {},
                 2,
                 0,
                 0,
                 1,
                 DeviceState::kGone,
                 1100}),
    [](const ::testing::TestParamInfo<LossCase>& info) { return info.param.name; });

TEST_F(DeviceSeams, OtherReadBackFailuresAreNotALoss) {
    Direct3DScript script;
    ScriptedDirect3D scripted(&script);
    ASSERT_EQ(1, Init());
    script.readBackAnswers.push_back(D3DERR_INVALIDCALL);
    script.cooperativeAnswers.push_back(D3DERR_DRIVERINTERNALERROR);
    std::vector<uint32_t> image(64 * 32);
    Frame(&image);
    EXPECT_EQ(DeviceState::kReady, RestoreLostDevice(renderer_));
    EXPECT_EQ(1, script.objectsCreated);
    EXPECT_EQ(1u, script.cooperativeAnswers.size()) << "the device state was not even asked";
}

} // namespace
