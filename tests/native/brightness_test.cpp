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

} // namespace
