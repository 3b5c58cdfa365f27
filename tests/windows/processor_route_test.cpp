// The lens window's frames on the processor against the overlay's frames through Direct3D on
// Wine's device, over known pictures on the screen: brightness, each internal cursor, sharp and
// smooth scaling, at the zooms the program offers, with the source inside the screen and hanging
// off its edges; and smooth frames against the exact bilinear reference.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "bilinear_reference.h"
#include "brightness.h"
#include "d3d_device.h"
#include "desktop_capture.h"
#include "engine_state.h"
#include "frame_render.h"
#include "lens_image.h"
#include "processor_frame.h"
#include "renderer_state.h"
#include "screen_pattern.h"
#include "settings_logic.h"

namespace {

constexpr UINT kWidth = 256;
constexpr UINT kHeight = 128;

struct RouteCase {
    const char* name;
    int brightness;
    DWORD cursorType;
    bool smooth;
};

// The source size the program derives for `zoom` at the lens size.
SIZE SourceFor(float zoom) {
    SettingsRecord record;
    SetDefaultSettings(&record);
    record.engine.lensWidth = kWidth;
    record.engine.lensHeight = kHeight;
    record.engine.zoom = zoom;
    LensSizes sizes;
    DeriveSourceSize(&record, &sizes);
    return SIZE{static_cast<LONG>(record.engine.sourceWidth),
                static_cast<LONG>(record.engine.sourceHeight)};
}

// The largest channel difference between the pixels of `image` and `want`, and how many pixels
// differ at all.
int Worst(const LensImage& image, const uint32_t* want, int* differing) {
    int worst = 0;
    for (UINT i = 0; i < kWidth * kHeight; ++i) {
        const int distance = ChannelDistance(image.Row(0)[i], want[i]);
        worst = std::max(worst, distance);
        *differing += distance > 0 ? 1 : 0;
    }
    return worst;
}

// The source as a smooth frame takes it: the screen's pixels, black off the screen, opaque.
std::vector<uint32_t> SourceOf(const std::vector<uint32_t>& screen, POINT at, SIZE size) {
    std::vector<uint32_t> source;
    for (LONG y = at.y; y < at.y + size.cy; ++y) {
        for (LONG x = at.x; x < at.x + size.cx; ++x) {
            const bool on = x >= 0 && x < 1280 && y >= 0 && y < 1024;
            source.push_back(0xFF000000u | (on ? screen[y * 1280 + x] : 0u));
        }
    }
    return source;
}

class ProcessorRoute : public ::testing::TestWithParam<RouteCase> {
protected:
    void SetUp() override { deviceWindow_ = CreateDeviceWindow(); }
    void TearDown() override {
        ReleaseD3DResources(renderer_);
        ReleaseDirect3D(renderer_);
        DestroyWindow(deviceWindow_);
    }
    HWND deviceWindow_ = nullptr;
    Renderer renderer_;
};

TEST_P(ProcessorRoute, GivesTheDirect3DRoutesPixels) {
    const RouteCase& c = GetParam();
    PatternWindow inside(200, 150, 300, 200, DetailPattern(300, 200, 21));
    PatternWindow corner(1100, 880, 180, 144, DetailPattern(180, 144, 22));
    ASSERT_TRUE(inside.WaitUntilShown());
    ASSERT_TRUE(corner.WaitUntilShown());
    const UINT size[2] = {kWidth, kHeight};
    ASSERT_EQ(1, InitDirect3D(renderer_, deviceWindow_, size, c.cursorType));
    ASSERT_TRUE(renderer_.effect && renderer_.pixelShader20) << "the effect draws the brightness";
    LensImage target;
    LensImage image;
    LensImage source;
    ProcessorFrame processor;
    ASSERT_TRUE(target.Create(kWidth, kHeight) && image.Create(kWidth, kHeight) &&
                source.Create(kWidth, kHeight));
    ASSERT_TRUE(PrepareProcessorFrame(processor, EngineModule(), c.cursorType, kWidth, kHeight));
    EXPECT_EQ(renderer_.cursorTexture != nullptr, !processor.cursor.pixels.empty());
    const ScreenBounds screen = ReadScreenBounds();
    const auto shown = ReadScreen(0, 0, 1280, 1024);
    SmoothScaler* smooth = c.smooth ? &processor.smooth : nullptr;
    // The colour arithmetic of a shader and of the processor may round a product apart.
    const int tolerance = BrightnessGain(c.brightness) == kGainOne ? 0 : 1;
    int differing = 0;
    for (const float zoom : {1.0f, 1.5f, 2.0f, 2.5f, 7.5f, 10.0f}) {
        const SIZE from = SourceFor(zoom);
        // Inside the screen, then hanging off its right and bottom edges, then its top-left; the
        // cursor in the middle, then clipped by the lens's edges.
        const POINT places[] = {
            {230, 170}, {1280 - from.cx / 3, 1024 - from.cy / 2}, {-from.cx / 2, -from.cy / 3}};
        const POINT cursors[] = {{100, 60}, {250, 3}, {2, 126}};
        for (int p = 0; p < 3; ++p) {
            const POINT at = places[p];
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << ", source " << from.cx << "x"
                                            << from.cy << " at " << at.x << ", " << at.y);
            CaptureDesktop(renderer_, target, screen, at.x, at.y, from.cx, from.cy,
                           DisplayPath::kNoOverlay, smooth);
            RenderFrame(renderer_, DisplayPath::kNoOverlay, cursors[p], c.brightness);
            const DDSURFACEDESC read = target.Description();
            CopyFrameRGB(renderer_, &read);
            CaptureDesktopToImage(image, screen, at.x, at.y, from.cx, from.cy,
                                  DisplayPath::kNoOverlay, SmoothCapture{smooth, &source});
            FinishOnProcessor(processor, image, c.brightness, cursors[p]);
            EXPECT_LE(Worst(image, target.Row(0), &differing), tolerance) << "Direct3D's pixels";
            if (c.smooth && c.cursorType == 0 && tolerance == 0) {
                const auto unscaled = SourceOf(shown, at, from);
                const auto reference =
                    BilinearReference(unscaled.data(), from.cx, from.cx, from.cy, kWidth, kHeight);
                int apart = 0;
                EXPECT_LE(Worst(image, reference.data(), &apart), 1) << "the reference";
            }
        }
    }
    std::printf("%s: %d of %u pixels one step apart\n", c.name, differing, 18 * kWidth * kHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ProcessorRoute,
    ::testing::Values(
        RouteCase{"Brightness0", 0, 0, false}, RouteCase{"Brightness500", 500, 0, false},
        RouteCase{"Brightness1000", 1000, 0, false}, RouteCase{"Brightness3000", 3000, 0, false},
        RouteCase{"Brightness10000", 10000, 0, false}, RouteCase{"Arrow", 1000, 1, false},
        RouteCase{"Hand", 1000, 2, false}, RouteCase{"Crosshair", 1000, 3, false},
        RouteCase{"Dot", 1000, 4, false}, RouteCase{"Smooth", 1000, 0, true},
        RouteCase{"SmoothBrighterWithArrow", 3000, 1, true}),
    [](const ::testing::TestParamInfo<RouteCase>& info) { return info.param.name; });

} // namespace
