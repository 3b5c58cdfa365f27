#include "capture_geometry.h"

#include <gtest/gtest.h>

namespace {

const ScreenBounds kScreen = {0, 0, 1280, 1024};

TEST(VisibleStretch, SourceOnTheScreenIsStretchedWhole) {
    const StretchPart part = VisibleStretch(100, 200, 128, 64, kScreen, 256, 128);
    EXPECT_TRUE(part.whole);
    EXPECT_FALSE(part.nothing);
    EXPECT_EQ(100, part.srcX);
    EXPECT_EQ(128, part.srcWidth);
    EXPECT_EQ(0, part.dstX);
    EXPECT_EQ(256, part.dstWidth);
    EXPECT_EQ(128, part.dstHeight);
}

TEST(VisibleStretch, PartBeyondAnEdgeIsCutAndTheRestKeepsItsPlace) {
    StretchPart part = VisibleStretch(-20, -10, 64, 48, kScreen, 128, 96);
    EXPECT_FALSE(part.whole);
    EXPECT_EQ(0, part.srcX);
    EXPECT_EQ(0, part.srcY);
    EXPECT_EQ(44, part.srcWidth);
    EXPECT_EQ(38, part.srcHeight);
    EXPECT_EQ(40, part.dstX);
    EXPECT_EQ(20, part.dstY);
    EXPECT_EQ(88, part.dstWidth);
    EXPECT_EQ(76, part.dstHeight);

    part = VisibleStretch(1260, 1004, 64, 48, kScreen, 128, 96);
    EXPECT_EQ(1260, part.srcX);
    EXPECT_EQ(20, part.srcWidth);
    EXPECT_EQ(20, part.srcHeight);
    EXPECT_EQ(0, part.dstX);
    EXPECT_EQ(40, part.dstWidth);
    EXPECT_EQ(40, part.dstHeight);
}

TEST(VisibleStretch, UnevenRatiosRoundTheCutToTheNearestPixel) {
    // 84 source pixels onto 250: the 10 off-screen ones take 29.76 target pixels.
    const StretchPart part = VisibleStretch(-10, 0, 84, 40, kScreen, 250, 120);
    EXPECT_EQ(30, part.dstX);
    EXPECT_EQ(220, part.dstWidth);
}

TEST(VisibleStretch, NothingVisibleOrDegenerateSizesGiveNothing) {
    EXPECT_TRUE(VisibleStretch(-500, 0, 64, 32, kScreen, 128, 64).nothing);
    EXPECT_TRUE(VisibleStretch(1280, 0, 64, 32, kScreen, 128, 64).nothing);
    EXPECT_TRUE(VisibleStretch(0, 0, 0, 32, kScreen, 128, 64).nothing);
    EXPECT_TRUE(VisibleStretch(0, 0, 64, -2, kScreen, 128, 64).nothing);
    EXPECT_TRUE(VisibleStretch(0, 0, 64, 32, kScreen, 0, 64).nothing);
    EXPECT_TRUE(VisibleStretch(2147483600, 2147483600, 64, 64, kScreen, 128, 128).nothing);
    // One source pixel on the screen out of 1000 maps to no whole target pixel.
    EXPECT_TRUE(VisibleStretch(-999, 0, 1000, 10, kScreen, 100, 10).nothing);
}

TEST(VisibleStretch, ScreensLeftOfAndAboveTheOriginAreHonoured) {
    const ScreenBounds twoMonitors = {-1920, 0, 1280, 1024};
    const StretchPart part = VisibleStretch(-40, 10, 64, 32, twoMonitors, 128, 64);
    EXPECT_TRUE(part.whole);
}

} // namespace
