#include "cursor_art.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const CursorKind kAllCursors[] = {CursorKind::Arrow, CursorKind::Hand, CursorKind::Crosshair,
                                  CursorKind::Dot};

uint8_t At(const IndexedPicture& picture, int x, int y) {
    return picture.indices[y * picture.width + x];
}

TEST(CursorArt, EveryCursorIsA128SquareOfBlackAndWhiteOnPureBlue) {
    for (CursorKind kind : kAllCursors) {
        const IndexedPicture picture = DrawCursor(kind);
        ASSERT_EQ(128, picture.width);
        ASSERT_EQ(128, picture.height);
        ASSERT_EQ(16u, picture.palette.size());
        const Rgb blue = picture.palette[kBlueIndex];
        EXPECT_TRUE(blue.r == 0 && blue.g == 0 && blue.b == 0xFF);
        const std::set<uint8_t> used(picture.indices.begin(), picture.indices.end());
        EXPECT_EQ((std::set<uint8_t>{kBlackIndex, kBlueIndex, kWhiteIndex}), used);
        EXPECT_EQ(kBlueIndex, At(picture, 0, 0));
        EXPECT_EQ(kBlueIndex, At(picture, 127, 127));
    }
}

// A white pixel never meets the background: a black outline keeps the figure visible on light
// and on dark screens alike.
TEST(CursorArt, WhiteFillIsEnclosedByABlackOutline) {
    for (CursorKind kind : kAllCursors) {
        const IndexedPicture picture = DrawCursor(kind);
        int white = 0;
        for (int y = 0; y < 128; ++y) {
            for (int x = 0; x < 128; ++x) {
                if (At(picture, x, y) != kWhiteIndex) {
                    continue;
                }
                ++white;
                for (int dy = -2; dy <= 2; ++dy) {
                    for (int dx = -2; dx <= 2; ++dx) {
                        const int nx = x + dx;
                        const int ny = y + dy;
                        ASSERT_TRUE(nx >= 0 && ny >= 0 && nx < 128 && ny < 128);
                        EXPECT_NE(kBlueIndex, At(picture, nx, ny))
                            << "cursor " << static_cast<int>(kind) << " at " << x << "," << y;
                    }
                }
            }
        }
        EXPECT_GT(white, 30) << "cursor " << static_cast<int>(kind) << " is filled";
    }
}

TEST(CursorArt, TheArrowsTipIsPixel63And63WithNothingAboveOrLeftOfIt) {
    const IndexedPicture arrow = DrawCursor(CursorKind::Arrow);
    EXPECT_EQ(kBlackIndex, At(arrow, 63, 63));
    EXPECT_EQ(kBlueIndex, At(arrow, 62, 62));
    EXPECT_EQ(kBlueIndex, At(arrow, 64, 63)) << "the tip is a single pixel";
    EXPECT_EQ(kBlackIndex, At(arrow, 63, 64));
    int lowest = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            if (At(arrow, x, y) != kBlueIndex) {
                EXPECT_GE(x, 63);
                EXPECT_GE(y, 63);
                lowest = std::max(lowest, y);
            }
        }
    }
    EXPECT_GT(lowest, 63 + 40) << "the arrow is large enough to see";
}

TEST(CursorArt, TheHandPointsUpWithItsFingertipOnTheHotSpot) {
    const IndexedPicture hand = DrawCursor(CursorKind::Hand);
    EXPECT_EQ(kBlackIndex, At(hand, 63, 63));
    for (int x = 0; x < 128; ++x) {
        for (int y = 0; y < 63; ++y) {
            ASSERT_EQ(kBlueIndex, At(hand, x, y)) << "nothing above the fingertip";
        }
        if (x < 62 || x > 64) {
            EXPECT_EQ(kBlueIndex, At(hand, x, 63)) << "the fingertip is centred on column 63";
        }
    }
}

TEST(CursorArt, CrosshairAndDotAreSymmetricAboutTheHotSpot) {
    for (CursorKind kind : {CursorKind::Crosshair, CursorKind::Dot}) {
        const IndexedPicture picture = DrawCursor(kind);
        for (int y = 0; y <= 126; ++y) {
            for (int x = 0; x <= 126; ++x) {
                ASSERT_EQ(At(picture, x, y), At(picture, 126 - x, y));
                ASSERT_EQ(At(picture, x, y), At(picture, x, 126 - y));
                ASSERT_EQ(At(picture, x, y), At(picture, y, x));
            }
        }
    }
    const IndexedPicture crosshair = DrawCursor(CursorKind::Crosshair);
    EXPECT_EQ(kBlueIndex, At(crosshair, 63, 63)) << "the aimed-at pixel stays visible";
    EXPECT_EQ(kWhiteIndex, At(crosshair, 63, 63 - 20));
    EXPECT_EQ(kBlackIndex, At(DrawCursor(CursorKind::Dot), 63, 63));
}

} // namespace
