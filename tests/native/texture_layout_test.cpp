#include "d3dx/image_scaling.h"
#include "d3dx/texture_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace d3dx;

namespace {

void ExpectLayout(const TextureLayout& layout, uint32_t width, uint32_t height, uint32_t levels) {
    EXPECT_EQ(width, layout.width);
    EXPECT_EQ(height, layout.height);
    EXPECT_EQ(levels, layout.levels);
}

TEST(ChooseTextureLayout, DefaultSizesRoundTheImageUpToPowersOfTwo) {
    const TextureLimits any;
    ExpectLayout(ChooseTextureLayout(128, 128, kDefault, kDefault, 1, any), 128, 128, 1);
    ExpectLayout(ChooseTextureLayout(320, 240, kDefault, kDefault, 1, any), 512, 256, 1);
    ExpectLayout(ChooseTextureLayout(129, 1, 0, 0, 1, any), 256, 1, 1);
    ExpectLayout(ChooseTextureLayout(1, 1, kDefault, kDefault, 1, any), 1, 1, 1);
}

TEST(ChooseTextureLayout, OtherSizesAreTakenAsAsked) {
    const TextureLimits any;
    ExpectLayout(ChooseTextureLayout(320, 240, kDefaultNonPow2, kFromFile, 1, any), 320, 240, 1);
    ExpectLayout(ChooseTextureLayout(320, 240, 64, 100, 1, any), 64, 100, 1);
}

TEST(ChooseTextureLayout, DefaultLevelsMakeTheFullChainAndNoMoreIsMade) {
    const TextureLimits any;
    ExpectLayout(ChooseTextureLayout(128, 128, kDefault, kDefault, 0, any), 128, 128, 8);
    ExpectLayout(ChooseTextureLayout(320, 240, kDefault, kDefault, kDefault, any), 512, 256, 10);
    ExpectLayout(ChooseTextureLayout(128, 128, kDefault, kDefault, 20, any), 128, 128, 8);
    ExpectLayout(ChooseTextureLayout(128, 128, kDefault, kDefault, kFromFile, any), 128, 128, 1);
    ExpectLayout(ChooseTextureLayout(128, 128, kDefault, kDefault, 3, any), 128, 128, 3);
}

TEST(ChooseTextureLayout, TheDevicesLimitsAreRespected) {
    TextureLimits powerOfTwo;
    powerOfTwo.powerOfTwo = true;
    ExpectLayout(ChooseTextureLayout(100, 60, kDefaultNonPow2, kDefaultNonPow2, 1, powerOfTwo), 128,
                 64, 1);
    powerOfTwo.nonPowerOfTwoSingleLevel = true;
    ExpectLayout(ChooseTextureLayout(100, 60, kDefaultNonPow2, kDefaultNonPow2, 1, powerOfTwo), 100,
                 60, 1);
    ExpectLayout(ChooseTextureLayout(100, 60, kDefaultNonPow2, kDefaultNonPow2, 0, powerOfTwo), 128,
                 64, 8);

    TextureLimits square;
    square.squareOnly = true;
    ExpectLayout(ChooseTextureLayout(320, 240, kDefault, kDefault, 1, square), 512, 512, 1);

    TextureLimits small;
    small.maxWidth = 3000;
    small.maxHeight = 2048;
    ExpectLayout(ChooseTextureLayout(5000, 100, kDefaultNonPow2, kDefaultNonPow2, 1, small), 3000,
                 100, 1);
    small.powerOfTwo = true;
    ExpectLayout(ChooseTextureLayout(5000, 4000, kDefault, kDefault, 1, small), 2048, 2048, 1);
}

TEST(ParseFilter, ReadsTheFilterFromTheLowByteAndRefusesUnknownOnes) {
    Filter filter = Filter::None;
    EXPECT_TRUE(ParseFilter(kDefault, Filter::Area, &filter));
    EXPECT_EQ(Filter::Area, filter);
    EXPECT_TRUE(ParseFilter(2, Filter::Area, &filter));
    EXPECT_EQ(Filter::Point, filter);
    EXPECT_TRUE(ParseFilter(1 | 0x80000 /* dither */, Filter::Area, &filter));
    EXPECT_EQ(Filter::None, filter);
    for (uint32_t averaging : {3u, 4u, 5u | 0x70000u /* mirror */}) {
        filter = Filter::None;
        EXPECT_TRUE(ParseFilter(averaging, Filter::Point, &filter)) << averaging;
        EXPECT_EQ(Filter::Area, filter) << averaging;
    }
    for (uint32_t unknown : {0u, 6u, 0xFFu, 0x80000u}) {
        EXPECT_FALSE(ParseFilter(unknown, Filter::Area, &filter)) << unknown;
    }
}

TEST(Resized, AnImageOfItsOwnSizeComesBackUnchangedWhateverTheFilter) {
    const ArgbImage image{2, 1, {0x12345678, 0x9ABCDEF0}};
    for (Filter filter : {Filter::None, Filter::Point, Filter::Area}) {
        EXPECT_EQ(image.pixels, Resized(image, 2, 1, filter).pixels);
    }
}

TEST(Resized, AreaAveragingWeighsEverySourcePixelByTheShareItCovers) {
    // Halving: each channel averaged, rounded to nearest; transparent black darkens the rest.
    const ArgbImage square{2, 2, {0xFF0000FF, 0x00000000, 0xFF0000FF, 0xFF00FF00}};
    EXPECT_EQ((std::vector<uint32_t>{0xBF004080}), Resized(square, 1, 1, Filter::Area).pixels);

    // Three to two: the first target pixel takes 2/3 of pixel 0 and 1/3 of pixel 1, the second
    // 1/3 of pixel 1 and 2/3 of pixel 2.
    const ArgbImage row{3, 1, {0xFF000000, 0xFF000030, 0xFF0000C0}};
    EXPECT_EQ((std::vector<uint32_t>{0xFF000010, 0xFF000090}),
              Resized(row, 2, 1, Filter::Area).pixels);

    // Doubling repeats every pixel.
    const ArgbImage pair{2, 1, {0xFF000001, 0xFF000002}};
    EXPECT_EQ((std::vector<uint32_t>{0xFF000001, 0xFF000001, 0xFF000002, 0xFF000002, 0xFF000001,
                                     0xFF000001, 0xFF000002, 0xFF000002}),
              Resized(pair, 4, 2, Filter::Area).pixels);
}

TEST(Resized, PointFilterTakesThePixelUnderEachCentre) {
    const ArgbImage row{4, 1, {1, 2, 3, 4}};
    EXPECT_EQ((std::vector<uint32_t>{2, 4}), Resized(row, 2, 1, Filter::Point).pixels);
    EXPECT_EQ((std::vector<uint32_t>{1, 1, 2, 2, 3, 3, 4, 4}),
              Resized(row, 8, 1, Filter::Point).pixels);
}

TEST(Resized, NoFilterCopiesToTheCornerAndFillsTheRestWithTransparentBlack) {
    const ArgbImage image{2, 2, {1, 2, 3, 4}};
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 0, 3, 4, 0, 0, 0, 0}),
              Resized(image, 3, 3, Filter::None).pixels);
    EXPECT_EQ((std::vector<uint32_t>{1}), Resized(image, 1, 1, Filter::None).pixels);
}

TEST(Resized, AreaAveragingKeepsThePicturesMeanDownToOnePixel) {
    ArgbImage image{320, 240, std::vector<uint32_t>(320 * 240)};
    uint64_t sum = 0;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint32_t level = (i * 7919) % 256;
        image.pixels[i] = 0xFF000000 | level;
        sum += level;
    }
    ArgbImage level = Resized(image, 512, 256, Filter::Area);
    while (level.width > 1 || level.height > 1) {
        level = Resized(level, std::max(1u, level.width / 2), std::max(1u, level.height / 2),
                        Filter::Area);
    }
    const double mean = static_cast<double>(sum) / image.pixels.size();
    EXPECT_NEAR(mean, level.pixels[0] & 0xFF, 1.5);
    EXPECT_EQ(0xFFu, level.pixels[0] >> 24);
}

} // namespace
