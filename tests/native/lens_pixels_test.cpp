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

// Rows of 0 to 10 pixels that start off a 16-byte boundary; the pixels around them stay.
TEST(LensPixels, OpaqueCopyChangesOnlyAlphaAndOnlyTheRowInEverySet) {
    const std::vector<uint32_t> noise = Noise(16, 9);
    for (int32_t width = 0; width <= 10; ++width) {
        InEverySet([&](const LensPixelRoutine& routine) {
            std::vector<uint32_t> copy(noise.size(), 0x01020304u);
            routine.opaqueRow(noise.data() + 1, copy.data() + 1, width);
            for (int32_t p = 0; p < 16; ++p) {
                const bool in = p >= 1 && p <= width;
                EXPECT_EQ(in ? noise[p] | 0xFF000000u : 0x01020304u, copy[p])
                    << routine.name << " width " << width << " pixel " << p;
            }
            return copy;
        });
    }
}

// A 2 x 2 sprite (opaque red, transparent, half-transparent white, opaque red) at every place
// around a 3 x 2 image.
TEST(LensPixels, SpriteBlendsByItsAlphaAndIsClippedAtEveryEdge) {
    const uint32_t sprite[4] = {0xFFFF0000u, 0x00123456u, 0x80FFFFFFu, 0xFFFF0000u};
    // (s x 128 + d x 127) / 255 for every channel of the half-transparent pixel.
    const uint32_t blended[4] = {0xFFFF0000u, 0xFF204060u, 0xBF90A0B0u, 0xFFFF0000u};
    for (int at = 0; at < 20; ++at) {
        const int left = at % 5 - 2, top = at / 5 - 2;
        std::vector<uint32_t> image(6, 0xFF204060u);
        BlendSprite(sprite, 2, 2, left, top, image.data(), 3, 2, 3 * 4);
        for (int p = 0; p < 6; ++p) {
            const int sx = p % 3 - left, sy = p / 3 - top;
            const bool in = sx >= 0 && sx < 2 && sy >= 0 && sy < 2;
            EXPECT_EQ(in ? blended[sy * 2 + sx] : 0xFF204060u, image[p]) << at << " " << p;
        }
    }
}

} // namespace
