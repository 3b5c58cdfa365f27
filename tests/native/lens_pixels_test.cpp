// The lens image's pixel routines: smooth scaling against the exact bilinear reference at the
// zooms the lens offers, the brightness gain against exact arithmetic, every routine set giving
// the portable set's bytes, and the cursor sprite blended and clipped at the image's edges.
// Built natively and for 32-bit Windows.
#include "lens_pixels.h"
#include "processor_features.h"

#include <gtest/gtest.h>

#include <random>

#include "bilinear_reference.h"

namespace {

std::vector<uint32_t> Noise(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint32_t> pixels(count);
    std::generate(pixels.begin(), pixels.end(), random);
    return pixels;
}

// Runs `apply` with every routine set this processor runs; each result must equal the first.
template <class Apply> void InEverySet(Apply apply) {
    std::vector<uint32_t> portable;
    for (size_t i = 0; i < kLensPixelRoutineCount; ++i) {
        const LensPixelRoutine& routine = kLensPixelRoutines[i];
        if ((routine.needs & QueryProcessorFeatures()) == routine.needs) {
            const std::vector<uint32_t> result = apply(routine);
            EXPECT_TRUE(portable.empty() || result == portable) << routine.name << " differs";
            portable = result;
        }
    }
}

// Source sizes the lens derives at zooms 1 to 10, and odd ones, with a pitch wider than a row;
// the second frame works from the steps the first one made.
TEST(LensPixels, SmoothScalingIsBilinearWithinOneStepInEverySet) {
    const uint32_t cases[][4] = {{256, 128, 256, 128}, {170, 86, 256, 128}, {128, 64, 256, 128},
                                 {102, 52, 256, 128},  {34, 18, 256, 128},  {26, 12, 256, 128},
                                 {2, 2, 7, 5},         {41, 3, 97, 13},     {640, 512, 1280, 1024}};
    for (const auto& c : cases) {
        const int pitch = static_cast<int>(c[0]) + 3;
        const auto source = Noise(static_cast<size_t>(pitch) * c[1], c[2] + c[3]);
        const auto reference = BilinearReference(source.data(), pitch, c[0], c[1], c[2], c[3]);
        InEverySet([&](const LensPixelRoutine& routine) {
            SmoothScaler scaler;
            std::vector<uint32_t> scaled(reference.size());
            EXPECT_TRUE(PrepareSmoothScaler(&scaler, c[2], c[3]));
            for (int frame = 0; frame < 2; ++frame) {
                ScaleSmoothWith(routine, &scaler, source.data(), pitch * 4, c[0], c[1],
                                scaled.data(), static_cast<int32_t>(c[2] * 4));
            }
            for (size_t p = 0; p < scaled.size(); ++p) {
                EXPECT_LE(ChannelDistance(scaled[p], reference[p]), 1)
                    << routine.name << " " << c[0] << "x" << c[1] << " pixel " << p;
            }
            return scaled;
        });
    }
}

// 16 rows of 15 pixels at a pitch of 16: the 16th pixel of a row stays as it was.
TEST(LensPixels, GainScalesColoursRoundedAndKeepsAlphaInEverySet) {
    const std::vector<uint32_t> noise = Noise(256, 5);
    for (const uint32_t gain : {0u, 1843u, 2048u, 2253u, 6144u, 20480u, 70000u}) {
        InEverySet([&](const LensPixelRoutine& routine) {
            std::vector<uint32_t> pixels = noise;
            ApplyGainWith(routine, 16, 15, pixels.data(), 16 * 4, gain);
            for (uint32_t p = 0; p < 256; ++p) {
                for (int shift = 0; shift < 32; shift += 8) {
                    const double c = (noise[p] >> shift) & 0xFF;
                    const bool kept = shift == 24 || p % 16 == 15;
                    const double want =
                        kept ? c : std::min(255.0, c * std::min(gain, kGainMax) / 2048);
                    EXPECT_NEAR(want, (pixels[p] >> shift) & 0xFF, 0.5 + 1e-9)
                        << routine.name << " gain " << gain << " pixel " << p;
                }
            }
            return pixels;
        });
    }
}

TEST(LensPixels, SpriteBlendsByItsAlphaAndIsClippedAtEveryEdge) {
    // Opaque red in the corners, transparent between, half-transparent white in the centre.
    const uint32_t r = 0xFFFF0000u, t = 0x00123456u;
    const uint32_t sprite[9] = {r, t, r, t, 0x80FFFFFFu, t, r, t, r};
    for (const int left : {-2, -1, 2, 3, 5}) {
        for (const int top : {-2, 0, 2, 4}) {
            std::vector<uint32_t> image(5 * 4, 0xFF204060u);
            BlendSprite(sprite, 3, 3, left, top, image.data(), 5, 4, 5 * 4);
            for (int p = 0; p < 20; ++p) {
                const int sx = p % 5 - left;
                const int sy = p / 5 - top;
                const bool in = sx >= 0 && sx < 3 && sy >= 0 && sy < 3;
                // Half: (s x 128 + d x 127) / 255 for every channel.
                const uint32_t want = !in                        ? 0xFF204060u
                                      : sx == 1 && sy == 1       ? 0xBF90A0B0u
                                      : sprite[sy * 3 + sx] == r ? r
                                                                 : 0xFF204060u;
                EXPECT_EQ(want, image[p]) << p << " with the sprite at " << left << ", " << top;
            }
        }
    }
}

} // namespace
