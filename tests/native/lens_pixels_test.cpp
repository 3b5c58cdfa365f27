// The lens image's pixel routines: smooth scaling against the exact bilinear reference at the
// zooms the lens offers, the brightness gain against exact arithmetic, the cursor sprite's
// blending at the image's edges, and every routine set giving the portable one's bytes. Built
// natively and for 32-bit Windows.
#include "lens_pixels.h"
#include "processor_features.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "bilinear_reference.h"

namespace {

std::vector<uint32_t> Noise(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint32_t> pixels(count);
    for (uint32_t& pixel : pixels) {
        pixel = random();
    }
    return pixels;
}

bool Runs(const LensPixelRoutine& routine) {
    return (routine.needs & QueryProcessorFeatures()) == routine.needs;
}

// Sources of the sizes the lens derives at zooms 1 to 10 (and odd ones), with a pitch wider than
// the source; within one step of the reference, every set alike.
TEST(LensPixels, SmoothScalingIsBilinearWithinOneStepAndTheSameInEverySet) {
    const struct {
        uint32_t sourceWidth, sourceHeight, width, height;
    } cases[] = {{256, 128, 256, 128}, {170, 86, 256, 128}, {128, 64, 256, 128},
                 {102, 52, 256, 128},  {34, 18, 256, 128},  {26, 12, 256, 128},
                 {2, 2, 7, 5},         {41, 3, 97, 13},     {640, 512, 1280, 1024}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sourceWidth << "x" << c.sourceHeight << " to "
                                        << c.width << "x" << c.height);
        const int pitch = static_cast<int>(c.sourceWidth) + 3;
        const auto source = Noise(static_cast<size_t>(pitch) * c.sourceHeight, c.width + c.height);
        const auto reference = BilinearReference(source.data(), pitch, c.sourceWidth,
                                                 c.sourceHeight, c.width, c.height);
        std::vector<uint32_t> portable;
        for (size_t i = 0; i < kLensPixelRoutineCount; ++i) {
            const LensPixelRoutine& routine = kLensPixelRoutines[i];
            if (!Runs(routine)) {
                continue;
            }
            SmoothScaler scaler;
            ASSERT_TRUE(PrepareSmoothScaler(&scaler, c.width, c.height));
            std::vector<uint32_t> scaled(reference.size());
            // Twice, so that the second frame works from the first one's steps.
            for (int frame = 0; frame < 2; ++frame) {
                ScaleSmoothWith(routine, &scaler, source.data(), pitch * 4, c.sourceWidth,
                                c.sourceHeight, scaled.data(), static_cast<int32_t>(c.width * 4));
            }
            int worst = 0;
            for (size_t p = 0; p < scaled.size(); ++p) {
                worst = std::max(worst, ChannelDistance(scaled[p], reference[p]));
            }
            EXPECT_LE(worst, 1) << routine.name;
            if (portable.empty()) {
                portable = scaled;
            }
            EXPECT_EQ(portable, scaled) << routine.name << " differs from the portable set";
        }
    }
}

TEST(LensPixels, GainScalesColoursRoundedAndKeepsAlphaInEverySet) {
    std::vector<uint32_t> every(256);
    for (uint32_t c = 0; c < 256; ++c) {
        every[c] = (255 - c) << 24 | c << 16 | ((c * 7) & 0xFF) << 8 | ((c * 13) & 0xFF);
    }
    for (const uint32_t gain : {0u, 1843u, 2048u, 2253u, 6144u, 20480u, 70000u}) {
        for (size_t i = 0; i < kLensPixelRoutineCount; ++i) {
            if (!Runs(kLensPixelRoutines[i])) {
                continue;
            }
            std::vector<uint32_t> pixels = every;
            // 256 pixels as 16 rows of 15 and a pitch of 16: the last pixel of a row untouched.
            ApplyGainWith(kLensPixelRoutines[i], 16, 15, pixels.data(), 16 * 4, gain);
            for (uint32_t p = 0; p < 256; ++p) {
                if (p % 16 == 15) {
                    EXPECT_EQ(every[p], pixels[p]);
                    continue;
                }
                for (int shift = 0; shift < 32; shift += 8) {
                    const double c = (every[p] >> shift) & 0xFF;
                    const double want =
                        shift == 24 ? c : std::min(255.0, c * std::min(gain, kGainMax) / 2048);
                    EXPECT_NEAR(want, (pixels[p] >> shift) & 0xFF, 0.5 + 1e-9)
                        << kLensPixelRoutines[i].name << " gain " << gain << " pixel " << p;
                }
            }
        }
    }
}

TEST(LensPixels, SpriteBlendsByItsAlphaAndIsClippedAtEveryEdge) {
    // A 3 x 3 sprite: opaque red, transparent, and half-transparent white in the centre.
    const uint32_t r = 0xFFFF0000u, t = 0x00123456u, h = 0x80FFFFFFu;
    const uint32_t sprite[9] = {r, t, r, t, h, t, r, t, r};
    const struct {
        int left, top;
    } places[] = {{-1, -1}, {2, 1}, {3, 3}, {-2, 2}, {4, -2}, {-3, 0}, {5, 4}};
    for (const auto& at : places) {
        std::vector<uint32_t> image(5 * 4, 0xFF204060u);
        BlendSprite(sprite, 3, 3, at.left, at.top, image.data(), 5, 4, 5 * 4);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 5; ++x) {
                const int sx = x - at.left;
                const int sy = y - at.top;
                uint32_t want = 0xFF204060u;
                if (sx >= 0 && sx < 3 && sy >= 0 && sy < 3 && sprite[sy * 3 + sx] == r) {
                    want = r;
                } else if (sx == 1 && sy == 1) {
                    want = 0xBF90A0B0u; // (s x 128 + d x 127) / 255 per channel
                }
                EXPECT_EQ(want, image[y * 5 + x])
                    << "(" << x << ", " << y << ") with the sprite at " << at.left << ", "
                    << at.top;
            }
        }
    }
}

} // namespace
