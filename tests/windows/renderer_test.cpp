// The renderer on Wine's Direct3D 9: desktop capture, composition and read-back of the lens
// image, against known pictures on the screen.
#include <float.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "d3d_device.h"
#include "desktop_capture.h"
#include "engine_state.h"
#include "frame_render.h"
#include "lens_image.h"
#include "packed_yuv.h"
#include "processor_frame.h"
#include "renderer_state.h"
#include "screen_pattern.h"
#include "test_support.h"

// Every allocation of this program passes here, so a test can count those of the frame path.
// Kept out of line: inlined, the compiler takes them for a mismatched malloc and delete.
volatile LONG g_countAllocations = 0;
volatile LONG g_allocations = 0;

__attribute__((noinline)) void* operator new(size_t size) {
    if (g_countAllocations) {
        InterlockedIncrement(&g_allocations);
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    std::abort();
}
__attribute__((noinline)) void operator delete(void* memory) noexcept {
    std::free(memory);
}
__attribute__((noinline)) void operator delete(void* memory, size_t) noexcept {
    std::free(memory);
}

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;
constexpr POINT kNoCursor = {-1000, -1000};

constexpr uint8_t kGapByte = 0xEE;

// The lens image read back into memory described like a locked DirectDraw surface of 4 (RGB) or
// 2 (packed YUV) bytes a pixel, with a pitch wider than a row to catch row addressing by width.
struct ReadBack {
    ReadBack(UINT width, UINT height, UINT bytesPerPixel = 4)
        : pitch(width * bytesPerPixel + 64), bytes(pitch * height, kGapByte) {
        std::memset(&surface, 0, sizeof(surface));
        surface.dwSize = sizeof(surface);
        surface.dwWidth = width;
        surface.dwHeight = height;
        surface.lPitch = static_cast<LONG>(pitch);
        surface.lpSurface = bytes.data();
    }
    uint32_t At(int x, int y) const {
        uint32_t pixel;
        std::memcpy(&pixel, &bytes[static_cast<size_t>(y) * pitch + x * 4], 4);
        return pixel;
    }
    UINT pitch;
    std::vector<uint8_t> bytes;
    DDSURFACEDESC surface;
};

class Renderer : public ::testing::Test {
protected:
    void SetUp() override { deviceWindow_ = CreateDeviceWindow(); }
    void TearDown() override {
        Stop();
        DestroyWindow(deviceWindow_);
    }
    bool Start(UINT width, UINT height, DWORD cursorType = 0) {
        const UINT size[2] = {width, height};
        return InitDirect3D(renderer_, deviceWindow_, size, cursorType) == 1 &&
               (lensImage_.Width() == width || lensImage_.Create(width, height));
    }
    void Stop() {
        ReleaseD3DResources(renderer_);
        ReleaseDirect3D(renderer_);
    }
    // One frame through Direct3D: capture the source, compose, read back.
    std::unique_ptr<ReadBack> Frame(int sx, int sy, int sw, int sh,
                                    DisplayPath format = DisplayPath::kNoOverlay,
                                    int brightness = 1000, POINT cursor = kNoCursor) {
        CaptureDesktop(renderer_, lensImage_, screen_, sx, sy, sw, sh, format);
        RenderFrame(renderer_, format, cursor, brightness);
        auto image = std::make_unique<ReadBack>(renderer_.renderWidth, renderer_.renderHeight);
        CopyFrameRGB(renderer_, &image->surface);
        return image;
    }
    HWND deviceWindow_ = nullptr;
    ::Renderer renderer_;
    LensImage lensImage_;
    const ScreenBounds screen_ = ReadScreenBounds();
};

// What a 2x capture of the screen must give: each screen pixel doubled, black off the screen.
void ExpectDoubledScreen(const ReadBack& image, int sx, int sy,
                         const std::vector<uint32_t>& screen) {
    int mismatches = 0;
    for (int y = 0; y < static_cast<int>(image.surface.dwHeight); ++y) {
        for (int x = 0; x < static_cast<int>(image.surface.dwWidth); ++x) {
            const int screenX = sx + x / 2;
            const int screenY = sy + y / 2;
            const bool onScreen =
                screenX >= 0 && screenX < kScreenWidth && screenY >= 0 && screenY < kScreenHeight;
            const uint32_t expected =
                0xFF000000u |
                (onScreen ? screen[static_cast<size_t>(screenY) * kScreenWidth + screenX] : 0u);
            if (image.At(x, y) != expected && ++mismatches <= 5) {
                ADD_FAILURE() << "lens pixel (" << x << ", " << y << ") shows " << std::hex
                              << image.At(x, y) << " instead of " << expected;
            }
        }
    }
    EXPECT_EQ(0, mismatches);
}

TEST_F(Renderer, TwiceMagnifiedImageIsThePixelDoubledSourceExactly) {
    PatternWindow pattern(200, 160, 128, 64, DetailPattern(128, 64, 1));
    ASSERT_TRUE(pattern.WaitUntilShown());
    ASSERT_TRUE(Start(256, 128));
    ASSERT_TRUE(renderer_.effect) << "drawn through the effect";
    ASSERT_EQ(1u, renderer_.pixelShader20);
    const auto screen = ReadScreen(0, 0, kScreenWidth, kScreenHeight);
    const auto image = Frame(200, 160, 128, 64);
    ExpectDoubledScreen(*image, 200, 160, screen);
    for (UINT y = 0; y < image->surface.dwHeight; ++y) {
        EXPECT_EQ(0xEE, image->bytes[y * image->pitch + 256 * 4]) << "row " << y << " overrun";
    }
}

// Each colour channel of `pixel` against `expected` scaled by `gain`, within one step.
bool ScaledWithinOne(uint32_t pixel, uint32_t expected, double gain) {
    for (int shift = 0; shift < 24; shift += 8) {
        const double want = std::min(255.0, ((expected >> shift) & 0xFF) * gain);
        const double got = (pixel >> shift) & 0xFF;
        if (got < want - 1.0 || got > want + 1.0) {
            return false;
        }
    }
    return (pixel >> 24) == (expected >> 24);
}

TEST_F(Renderer, BrightnessScalesTheImageAndKeepsAlpha) {
    PatternWindow pattern(200, 160, 64, 32, DetailPattern(64, 32, 2));
    ASSERT_TRUE(pattern.WaitUntilShown());
    ASSERT_TRUE(Start(128, 64));
    const auto neutral = Frame(200, 160, 64, 32, DisplayPath::kNoOverlay, 1000);
    const struct {
        int brightness;
        double gain;
    } cases[] = {{3000, 3.0}, {1500, 1.5}, {10000, 10.0}, {900, 0.9},
                 {949, 0.9},  {960, 1.0},  {999, 1.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.brightness);
        const auto image = Frame(200, 160, 64, 32, DisplayPath::kNoOverlay, c.brightness);
        int wrong = 0;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 128; ++x) {
                if (c.gain == 1.0 ? image->At(x, y) != neutral->At(x, y)
                                  : !ScaledWithinOne(image->At(x, y), neutral->At(x, y), c.gain)) {
                    ++wrong;
                }
            }
        }
        EXPECT_EQ(0, wrong);
    }
}

TEST_F(Renderer, InternalCursorIsDrawnCentredOnThePointerWithItsBackgroundTransparent) {
    PatternWindow pattern(200, 160, 128, 64, DetailPattern(128, 64, 4));
    ASSERT_TRUE(pattern.WaitUntilShown());
    const POINT at = {100, 60};
    for (DWORD type = 0; type <= 5; ++type) {
        SCOPED_TRACE(testing::Message() << "cursor type " << type);
        ASSERT_TRUE(Start(256, 128, type));
        EXPECT_EQ(type >= 1 && type <= 4, renderer_.cursorTexture != nullptr);
        const auto plain = Frame(200, 160, 128, 64, DisplayPath::kNoOverlay, 1000, kNoCursor);
        const auto with = Frame(200, 160, 128, 64, DisplayPath::kNoOverlay, 1000, at);
        int changed = 0;
        int outside = 0;
        for (int y = 0; y < 128; ++y) {
            for (int x = 0; x < 256; ++x) {
                if (with->At(x, y) != plain->At(x, y)) {
                    ++changed;
                    const bool inSprite =
                        x >= at.x - 64 && x < at.x + 64 && y >= at.y - 64 && y < at.y + 64;
                    outside += inSprite ? 0 : 1;
                }
            }
        }
        EXPECT_EQ(0, outside) << "the sprite covers 128 x 128 pixels centred on the pointer";
        if (type >= 1 && type <= 4) {
            EXPECT_GT(changed, 200) << "the cursor is drawn";
            EXPECT_LT(changed, 128 * 128 / 2) << "its blue background is transparent";
        } else {
            EXPECT_EQ(0, changed) << "no cursor";
        }
        if (type == 1) {
            EXPECT_EQ(0xFF000000u, with->At(at.x - 1, at.y - 1)) << "the arrow's tip";
            EXPECT_EQ(plain->At(at.x - 2, at.y - 2), with->At(at.x - 2, at.y - 2));
        }
        Stop();
    }
}

TEST_F(Renderer, SourcePartlyOffTheScreenShowsItsOnScreenPartInPlace) {
    // Pictures along every edge and in every corner.
    std::vector<std::unique_ptr<PatternWindow>> patterns;
    const POINT corners[] = {{0, 0},      {592, 0}, {1184, 0},  {0, 480},
                             {1184, 480}, {0, 928}, {592, 928}, {1184, 928}};
    uint32_t seed = 10;
    for (const POINT& corner : corners) {
        patterns.push_back(std::make_unique<PatternWindow>(corner.x, corner.y, 96, 96,
                                                           DetailPattern(96, 96, seed++)));
    }
    for (auto& pattern : patterns) {
        ASSERT_TRUE(pattern->WaitUntilShown());
    }
    ASSERT_TRUE(Start(128, 96));
    const auto screen = ReadScreen(0, 0, kScreenWidth, kScreenHeight);
    const POINT sources[] = {{-20, -10},  {600, -30},  {1240, -12}, {-40, 500},
                             {1250, 500}, {-18, 1000}, {600, 990},  {1260, 1004}};
    for (const POINT& source : sources) {
        SCOPED_TRACE(testing::Message() << "source at " << source.x << ", " << source.y);
        const auto image = Frame(source.x, source.y, 64, 48);
        ExpectDoubledScreen(*image, source.x, source.y, screen);
    }
}

TEST_F(Renderer, SourceEntirelyOffTheScreenGivesBlack) {
    ASSERT_TRUE(Start(64, 32));
    const auto image = Frame(-500, -500, 32, 16);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(0xFF000000u, image->At(x, y));
        }
    }
}

TEST_F(Renderer, OneWindowModeShowsOnlyTheWindowUnderThePointer) {
    PatternWindow pattern(400, 300, 100, 80, DetailPattern(100, 80, 3));
    ASSERT_TRUE(pattern.WaitUntilShown());
    ASSERT_TRUE(Start(128, 64));
    MovePointer(450, 340);
    const auto screen = ReadScreen(0, 0, kScreenWidth, kScreenHeight);
    const int sx = 370;
    const int sy = 350;
    const auto image = Frame(sx, sy, 64, 32, DisplayPath::kWindowByChoice);
    int opaque = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            const int screenX = sx + x / 2;
            const int screenY = sy + y / 2;
            const bool inWindow =
                screenX >= 400 && screenX < 500 && screenY >= 300 && screenY < 380;
            const uint32_t pixel = image->At(x, y);
            if (inWindow) {
                ++opaque;
                ASSERT_EQ(0xFF000000u |
                              screen[static_cast<size_t>(screenY) * kScreenWidth + screenX],
                          pixel)
                    << "window pixel at lens (" << x << ", " << y << ")";
            } else {
                ASSERT_EQ(0u, pixel >> 24)
                    << "outside the window at lens (" << x << ", " << y << ") must be see-through";
            }
        }
    }
    EXPECT_GT(opaque, 0);
}

TEST_F(Renderer, CapturedFrameAndLensImageAreDescribedAlikeForFilters) {
    ASSERT_TRUE(Start(96, 48));
    CaptureDesktop(renderer_, lensImage_, screen_, 0, 0, 48, 24, DisplayPath::kNoOverlay);
    DDSURFACEDESC frame;
    std::memset(&frame, 0, sizeof(frame));
    frame.dwSize = sizeof(frame);
    ASSERT_EQ(0, LockCapturedFrame(renderer_, &frame));
    EXPECT_EQ(96u, frame.dwWidth);
    EXPECT_EQ(48u, frame.dwHeight);
    EXPECT_GE(frame.lPitch, 96 * 4);
    EXPECT_EQ(32u, frame.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(0u, frame.dwFlags);
    EXPECT_EQ(0u, frame.ddpfPixelFormat.dwSize);
    ASSERT_NE(nullptr, frame.lpSurface);
    const auto* row = static_cast<const uint32_t*>(frame.lpSurface);
    EXPECT_EQ(0xFFu, row[0] >> 24) << "captured pixels are opaque";
    DDSURFACEDESC image = PluginFrame(lensImage_);
    EXPECT_EQ(lensImage_.Row(0), image.lpSurface);
    image.lpSurface = frame.lpSurface;
    image.lPitch = frame.lPitch;
    EXPECT_EQ(0, std::memcmp(&image, &frame, sizeof(frame))) << "the lens image alike";
    renderer_.captureSurface->UnlockRect();
}

// How a packed-YUV overlay's frame is made: by the packing pass when the effect and pixel
// shader 2.0 are there (floats: within one step of the processor's bytes), else by the
// processor itself (its bytes exactly).
struct PackedCase {
    const char* name;
    DisplayPath format; // YUY2 or UYVY
    bool effect;
    DWORD pixelShader20;
    int brightness;
    bool packedByShader;
};

class PackedYuvFrame : public Renderer, public ::testing::WithParamInterface<PackedCase> {};

TEST_P(PackedYuvFrame, MatchesTheProcessorConversionOfTheRenderedImage) {
    const PackedCase& c = GetParam();
    PatternWindow pattern(200, 160, 128, 64, DetailPattern(128, 64, 31));
    ASSERT_TRUE(pattern.WaitUntilShown());
    ASSERT_TRUE(Start(256, 128, 1));
    ASSERT_TRUE(renderer_.effect);
    if (!c.effect) {
        renderer_.effect.reset();
        renderer_.effectHandles = EffectHandles{};
    }
    renderer_.pixelShader20 = c.pixelShader20;
    CaptureDesktop(renderer_, lensImage_, screen_, 200, 160, 128, 64, c.format);
    RenderFrame(renderer_, c.format, POINT{100, 60}, c.brightness);
    EXPECT_EQ(c.packedByShader, renderer_.backBufferPacked);
    ReadBack packed(256, 128, 2);
    CopyFramePackedYUV(renderer_, &packed.surface, c.format);
    ReadBack rgb(256, 128);
    CopyFrameRGB(renderer_, &rgb.surface);

    // The rendered image (the pattern, its brightness and the cursor) converted on the processor.
    std::vector<uint8_t> expected(256 * 2 * 128);
    (c.format == DisplayPath::kOverlayYuy2 ? RgbToYuy2 : RgbToUyvy)(
        128, 256, rgb.bytes.data(), expected.data(), static_cast<int32_t>(rgb.pitch), 256 * 2);
    int worst = 0;
    int gapsWritten = 0;
    for (UINT y = 0; y < 128; ++y) {
        const uint8_t* row = &packed.bytes[y * packed.pitch];
        for (UINT i = 0; i < 256 * 2; ++i) {
            worst = std::max(worst, std::abs(row[i] - expected[y * 256 * 2 + i]));
        }
        gapsWritten += std::count_if(row + 256 * 2, row + packed.pitch,
                                     [](uint8_t b) { return b != kGapByte; });
    }
    std::printf("%s: largest difference from the processor's bytes %d\n", c.name, worst);
    EXPECT_LE(worst, c.packedByShader ? 1 : 0);
    EXPECT_EQ(0, gapsWritten) << "bytes past the row's end";
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PackedYuvFrame,
    ::testing::Values(
        PackedCase{"Yuy2ByShader", DisplayPath::kOverlayYuy2, true, 1, 1000, true},
        PackedCase{"UyvyByShaderBrighter", DisplayPath::kOverlayUyvy, true, 1, 3000, true},
        PackedCase{"Yuy2WithoutEffect", DisplayPath::kOverlayYuy2, false, 1, 1000, false},
        PackedCase{"UyvyWithoutEffect", DisplayPath::kOverlayUyvy, false, 1, 1000, false},
        PackedCase{"Yuy2BelowPixelShader2", DisplayPath::kOverlayYuy2, true, 0, 1000, false},
        PackedCase{"UyvyBelowPixelShader2", DisplayPath::kOverlayUyvy, true, 0, 1000, false}),
    [](const ::testing::TestParamInfo<PackedCase>& info) { return info.param.name; });

// The magnifier thread does the lens arithmetic and runs the plug-ins in double precision; a
// device that switched the processor to single precision would round the zoom they are given.
TEST_F(Renderer, DeviceLeavesTheThreadsFloatingPointPrecisionAlone) {
    const unsigned before = _controlfp(0, 0) & _MCW_PC;
    ASSERT_TRUE(Start(256, 128));
    EXPECT_EQ(before, _controlfp(0, 0) & _MCW_PC);
}

TEST_F(Renderer, FramePathAllocatesNothing) {
    ASSERT_TRUE(Start(256, 128));
    DDSURFACEDESC image = lensImage_.Description();
    ReadBack packed(256, 128, 2);
    // Each frame as its display path reads it back: packed YUV for 2 and 3, else RGB.
    const auto readBack = [&](DisplayPath format) {
        if (IsPackedYuvPath(format)) {
            CopyFramePackedYUV(renderer_, &packed.surface, format);
        } else {
            CopyFrameRGB(renderer_, &image);
        }
    };
    // The lens window's frames on the processor: smooth, brighter and with the cursor.
    LensImage source;
    ProcessorFrame processor;
    ASSERT_TRUE(source.Create(256, 128));
    ASSERT_TRUE(PrepareProcessorFrame(processor, EngineModule(), 1, 256, 128));
    const SmoothCapture smooth = {&processor.smooth, &source};
    for (DisplayPath format : {DisplayPath::kOverlayYuy2, DisplayPath::kOverlayUyvy,
                               DisplayPath::kNoOverlay, DisplayPath::kWindowByChoice}) {
        CaptureDesktop(renderer_, lensImage_, screen_, 10, 10, 128, 64, format);
        CaptureDesktopToImage(lensImage_, screen_, 10, 10, 128, 64, format, smooth);
        RenderFrame(renderer_, format, kNoCursor, 1000);
        readBack(format);
        InterlockedExchange(&g_allocations, 0);
        InterlockedExchange(&g_countAllocations, 1);
        for (int frame = 0; frame < 20; ++frame) {
            CaptureDesktop(renderer_, lensImage_, screen_, 10 + frame, 10, 128, 64, format);
            RenderFrame(renderer_, format, POINT{frame, frame}, 1000 + frame * 100);
            readBack(format);
            CaptureDesktopToImage(lensImage_, screen_, 10, 10 + frame, 128, 64, format);
            CaptureDesktop(renderer_, source, screen_, 10, 10, 100 + frame, 50, format,
                           &processor.smooth);
            CaptureDesktopToImage(lensImage_, screen_, 10, 10, 100 + frame, 50, format, smooth);
            FinishOnProcessor(processor, lensImage_, 1000 + frame * 100, POINT{frame, frame});
        }
        InterlockedExchange(&g_countAllocations, 0);
        EXPECT_EQ(0, g_allocations) << "display path " << PathNumber(format);
    }
}

} // namespace
