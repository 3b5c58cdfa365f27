#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "chime.h"
#include "icon_art.h"
#include "pixel_font.h"
#include "splash_art.h"

namespace {

uint32_t U16(const std::vector<uint8_t>& data, size_t at) {
    return data[at] | data[at + 1] << 8;
}

uint32_t U32(const std::vector<uint8_t>& data, size_t at) {
    return U16(data, at) | U16(data, at + 2) << 16;
}

TEST(IconArt, TheStoppingIconIsVisiblyDifferentAndRedInTheGlass) {
    for (int size : {32, 16}) {
        const IconImage normal =
            QuantisedIcon(DrawIcon(IconKind::Normal, size), 8, IconInks(IconKind::Normal));
        const IconImage stopping =
            QuantisedIcon(DrawIcon(IconKind::Stopping, size), 8, IconInks(IconKind::Stopping));
        EXPECT_EQ(normal.transparent, stopping.transparent) << "same outline";
        int different = 0;
        for (size_t i = 0; i < normal.picture.indices.size(); ++i) {
            different += normal.picture.indices[i] != stopping.picture.indices[i] ? 1 : 0;
        }
        EXPECT_GT(different, size * size / 8) << size;
        // The glass is centred a little up-left; a pixel above the white bar in it is red.
        const int x = size * 13 / 32;
        const int y = size * 9 / 32;
        const Rgb glass = stopping.picture.palette[stopping.picture.indices[y * size + x]];
        EXPECT_GT(glass.r, 150) << size;
        EXPECT_LT(glass.g, 80) << size;
    }
}

TEST(IconArt, SixteenColourImagesUseOnlyTheColoursNearestToTheInks) {
    for (IconKind kind : {IconKind::Normal, IconKind::Stopping, IconKind::Settings}) {
        const IconImage image = QuantisedIcon(DrawIcon(kind, 32), 4, IconInks(kind));
        std::set<uint8_t> used;
        for (size_t i = 0; i < image.picture.indices.size(); ++i) {
            if (image.transparent[i] == 0) {
                used.insert(image.picture.indices[i]);
            }
        }
        EXPECT_LE(used.size(), IconInks(kind).size());
        EXPECT_GE(used.size(), 2u);
    }
}

TEST(SplashArt, IsPremultipliedWithTransparentCornersAndAnOpaquePanel) {
    const Canvas splash = DrawSplash();
    ASSERT_EQ(320, splash.width);
    ASSERT_EQ(240, splash.height);
    const std::vector<uint8_t> bgra = PremultipliedBgra(splash);
    auto alpha = [&](int x, int y) { return bgra[(y * 320 + x) * 4 + 3]; };
    std::set<uint8_t> alphas;
    for (size_t i = 0; i < bgra.size(); i += 4) {
        ASSERT_LE(bgra[i], bgra[i + 3]);
        ASSERT_LE(bgra[i + 1], bgra[i + 3]);
        ASSERT_LE(bgra[i + 2], bgra[i + 3]);
        alphas.insert(bgra[i + 3]);
    }
    EXPECT_EQ(0, alpha(0, 0));
    EXPECT_EQ(0, alpha(319, 239));
    EXPECT_GE(alpha(30, 120), 230);
    EXPECT_GT(alphas.size(), 20u) << "soft edges";

    // The file keeps 32 bits per pixel and the bytes as given, bottom row first.
    const std::vector<uint8_t> file = BgraBmpFile(320, 240, bgra);
    ASSERT_EQ(14u + 40 + 320 * 240 * 4, file.size());
    EXPECT_EQ(32u, U16(file, 28));
    EXPECT_EQ(240u, U32(file, 22));
    EXPECT_EQ(54u, U32(file, 10));
    EXPECT_TRUE(std::equal(bgra.end() - 320 * 4, bgra.end(), file.begin() + 54));
}

TEST(SplashArt, ShowsTheProductNameInWhiteBelowTheLens) {
    const Canvas splash = DrawSplash();
    // The name is set at 5 pixels per cell, centred; its first letter's top-left cell is ink.
    const double scale = 5;
    const int left = static_cast<int>(std::round((320 - TextWidth("Vexlume", scale)) / 2));
    const Colour ink = StraightColour(splash, left + 2, 182);
    EXPECT_GT(ink.r, 0.95);
    EXPECT_GT(ink.g, 0.95);
    EXPECT_GT(ink.b, 0.95);
    const Colour gap = StraightColour(splash, left + 12, 182); // inside the V, no ink
    EXPECT_LT(gap.r, 0.5);
}

// The picture for scaled displays is the same picture: each 2 x 2 block of it, averaged, gives
// the pixel of the first size. Soft edges where two figures overlap blend a little differently
// when drawn finer (up to about 0.2 along the panel's outline); a figure out of place differs by
// far more.
TEST(SplashArt, TwiceAsLargeIsTheSamePictureDrawnFiner) {
    const Canvas small = DrawSplash();
    const Canvas large = DrawSplash(2);
    ASSERT_EQ(640, large.width);
    ASSERT_EQ(480, large.height);
    int differing = 0;
    for (int y = 0; y < small.height; ++y) {
        for (int x = 0; x < small.width; ++x) {
            const Colour& expected = small.pixels[static_cast<size_t>(y) * small.width + x];
            double sum[4] = {};
            for (int i = 0; i < 4; ++i) {
                const Colour& c =
                    large.pixels[static_cast<size_t>(2 * y + i / 2) * large.width + 2 * x + i % 2];
                sum[0] += c.r / 4;
                sum[1] += c.g / 4;
                sum[2] += c.b / 4;
                sum[3] += c.a / 4;
            }
            const double gap =
                std::max({std::abs(sum[0] - expected.r), std::abs(sum[1] - expected.g),
                          std::abs(sum[2] - expected.b), std::abs(sum[3] - expected.a)});
            differing += gap > 0.3 ? 1 : 0;
        }
    }
    EXPECT_EQ(0, differing);
}

TEST(Chime, IsAShortSoundThatStartsAndEndsInSilence) {
    const std::vector<int16_t> samples = SynthesiseChime();
    ASSERT_FALSE(samples.empty());
    const double seconds = static_cast<double>(samples.size()) / kChimeSampleRate;
    EXPECT_GT(seconds, 0.3);
    EXPECT_LT(seconds, 0.8);
    EXPECT_EQ(0, samples.front());
    EXPECT_EQ(0, samples.back());
    int peak = 0;
    for (int16_t sample : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    EXPECT_GT(peak, 32767 * 4 / 10) << "clearly audible";
    EXPECT_LE(peak, 32767 / 2 + 1) << "headroom left";
}

double Rms(const std::vector<int16_t>& samples, double from, double to) {
    const size_t first = static_cast<size_t>(from * kChimeSampleRate);
    const size_t last = std::min(samples.size(), static_cast<size_t>(to * kChimeSampleRate));
    double sum = 0.0;
    for (size_t i = first; i < last; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return std::sqrt(sum / (last - first));
}

// No clicks: the sound swells in over milliseconds and has died away to near silence before
// its last sample.
TEST(Chime, HasASoftAttackAndDecaysSmoothly) {
    const std::vector<int16_t> samples = SynthesiseChime();
    const double body = Rms(samples, 0.015, 0.05);
    EXPECT_LT(Rms(samples, 0.0, 0.002), body / 4);
    for (size_t i = 0; i < 22; ++i) {
        EXPECT_LT(std::abs(samples[i]), 32767 / 20) << "first millisecond, sample " << i;
    }
    EXPECT_LT(Rms(samples, 0.35, 0.45), body / 4) << "decaying";
    const double end = static_cast<double>(samples.size()) / kChimeSampleRate;
    EXPECT_LT(Rms(samples, end - 0.01, end), body / 50) << "silent at the end";
}

} // namespace
