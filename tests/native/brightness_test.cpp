#include "brightness.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(SteppedBrightness, DirectionZeroReadsWithoutClamping) {
    EXPECT_EQ(0, SteppedBrightness(0, 0, 0));
    EXPECT_EQ(0, SteppedBrightness(0, 0, 5000));
    EXPECT_EQ(-7, SteppedBrightness(-7, 0, 0));
}

TEST(SteppedBrightness, AnyChangeIsKeptWithin900And10000) {
    EXPECT_EQ(1000, SteppedBrightness(0, 1, 1000));
    EXPECT_EQ(900, SteppedBrightness(900, -1, 50));
    EXPECT_EQ(10000, SteppedBrightness(9990, 1, 50));
    EXPECT_EQ(900, SteppedBrightness(0, 1, 0));
    EXPECT_EQ(1050, SteppedBrightness(1000, 7, 50));
    EXPECT_EQ(950, SteppedBrightness(1000, -3, 50));
    EXPECT_EQ(1050, SteppedBrightness(1000, -1, -50));
}

TEST(SteppedBrightness, HugeAmountsDoNotOverflow) {
    EXPECT_EQ(10000, SteppedBrightness(10000, 1, INT_MAX));
    EXPECT_EQ(900, SteppedBrightness(900, -1, INT_MAX));
    EXPECT_EQ(10000, SteppedBrightness(900, -1, INT_MIN));
    EXPECT_EQ(900, SteppedBrightness(INT_MIN, 1, INT_MIN));
}

TEST(BrightnessGain, IsTheEffectsFactorIn2048ths) {
    const int cases[][2] = {{1000, 2048}, {3000, 6144}, {10000, 20480}, {1100, 2253},
                            {999, 2048},  {950, 2048},  {949, 1843},    {900, 1843}};
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<uint32_t>(c[1]), BrightnessGain(c[0])) << c[0];
    }
}

} // namespace
