// Device creation, device loss and weak devices, with the answers of Direct3D chosen by the test
// and a virtual clock, so that a minute of retries passes in milliseconds.
#include <gtest/gtest.h>

#include <cstring>

#include "d3d_device.h"
#include "desktop_capture.h"
#include "error_reporter.h"
#include "frame_render.h"
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
    }
    void TearDown() override {
        ReleaseD3DResources();
        ReleaseDirect3D();
        g_PixelShader20 = 1;
        StopErrorReporter();
        DestroyWindow(window_);
    }
    int Init(UINT width = 64, UINT height = 32) {
        const UINT size[2] = {width, height};
        return InitDirect3D(window_, size, 0);
    }
    std::vector<std::string> Reports() { return RecordedCallsStartingWith("qxRecordError"); }
    // Draws one 2x frame of the pattern window and checks it arrives exactly.
    void ExpectFrameDraws(const PatternWindow& pattern, const std::vector<uint32_t>& pixels) {
        (void)pattern;
        CaptureDesktop(300, 200, 32, 16, 4);
        RenderFrame(4, kNoCursor, 1000);
        std::vector<uint32_t> image(64 * 32, 0);
        DDSURFACEDESC surface;
        std::memset(&surface, 0, sizeof(surface));
        surface.dwSize = sizeof(surface);
        surface.dwWidth = 64;
        surface.dwHeight = 32;
        surface.lPitch = 64 * 4;
        surface.lpSurface = image.data();
        CopyFrameRGB(&surface);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 64; ++x) {
                ASSERT_EQ(0xFF000000u | pixels[(y / 2) * 32 + x / 2], image[y * 64 + x])
                    << "at (" << x << ", " << y << ")";
            }
        }
    }
    PreloadedFake sender_{"qxsender", "full"};
    HWND window_ = nullptr;
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
    EXPECT_NE(nullptr, g_BackBufferCopy);
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
        ReleaseD3DResources();
        ReleaseDirect3D();
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
    ReleaseD3DResources();
    ReleaseDirect3D();
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
        "CreateOffscreenPlainSurface g_Surface_BackgroundStretch24bit failed",
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
        ReleaseD3DResources();
        ReleaseDirect3D();
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
    EXPECT_EQ(0u, g_PixelShader20);
    ASSERT_TRUE(g_Effect);
    ExpectFrameDraws(pattern, pixels);
}

class DeviceLoss : public DeviceSeams {
protected:
    void SetUp() override {
        DeviceSeams::SetUp();
        pattern_ = std::make_unique<PatternWindow>(300, 200, 32, 16, pixels_);
        ASSERT_TRUE(pattern_->WaitUntilShown());
    }
    void TearDown() override {
        pattern_.reset();
        DeviceSeams::TearDown();
    }
    std::vector<uint32_t> pixels_ = DetailPattern(32, 16, 7);
    std::unique_ptr<PatternWindow> pattern_;
};

TEST_F(DeviceLoss, DeviceThatCanBeResetIsResetAndTheResourcesRebuilt) {
    Direct3DScript script;
    ScriptedDirect3D scripted(&script);
    ASSERT_EQ(1, Init());
    script.presentAnswers.push_back(D3DERR_DEVICELOST);
    script.cooperativeAnswers.push_back(D3DERR_DEVICENOTRESET);
    RenderFrame(4, kNoCursor, 1000);
    EXPECT_EQ(1, script.resets);
    EXPECT_NE(nullptr, g_VertexDeclaration);
    EXPECT_NE(nullptr, g_Texture_Final);
    EXPECT_NE(nullptr, g_VertexBuffer_Quad);
    ExpectFrameDraws(*pattern_, pixels_);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(DeviceLoss, DeviceStillLostWaitsForTheNextFrame) {
    Direct3DScript script;
    ScriptedDirect3D scripted(&script);
    ASSERT_EQ(1, Init());
    const DWORD before = script.sleptMs;
    script.presentAnswers.push_back(D3DERR_DEVICELOST);
    script.cooperativeAnswers.push_back(D3DERR_DEVICELOST);
    RenderFrame(4, kNoCursor, 1000);
    EXPECT_GE(script.sleptMs - before, 100u);
    EXPECT_EQ(0, script.resets);
    ExpectFrameDraws(*pattern_, pixels_);
}

TEST_F(DeviceLoss, BrokenDeviceIsMadeAnew) {
    Direct3DScript script;
    ScriptedDirect3D scripted(&script);
    ASSERT_EQ(1, Init());
    script.presentAnswers.push_back(D3DERR_DEVICELOST);
    script.cooperativeAnswers.push_back(D3DERR_DRIVERINTERNALERROR);
    RenderFrame(4, kNoCursor, 1000);
    EXPECT_EQ(2, script.objectsCreated);
    EXPECT_EQ(64u, g_RenderWidth);
    EXPECT_EQ(window_, g_DeviceWindow);
    ExpectFrameDraws(*pattern_, pixels_);
}

TEST_F(DeviceLoss, OtherPresentFailuresAreIgnored) {
    Direct3DScript script;
    ScriptedDirect3D scripted(&script);
    ASSERT_EQ(1, Init());
    script.presentAnswers.push_back(D3DERR_INVALIDCALL);
    script.cooperativeAnswers.push_back(D3DERR_DRIVERINTERNALERROR);
    RenderFrame(4, kNoCursor, 1000);
    EXPECT_EQ(1, script.objectsCreated);
    EXPECT_EQ(1u, script.cooperativeAnswers.size()) << "the device state was not even asked";
}

} // namespace
