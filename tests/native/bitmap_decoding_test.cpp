#include "d3dx/bitmap_decoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

using d3dx::ApplyColourKey;
using d3dx::ArgbImage;
using d3dx::DecodeBitmap;

namespace {

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

// A packed bitmap as a bitmap resource holds it: a 40-byte header, `table` colour-table entries
// (blue, green, red, 0; written as 0x00RRGGBB values) and the stored rows, all given by hand.
std::vector<uint8_t> PackedBitmap(int32_t width, int32_t height, uint32_t bits,
                                  const std::vector<uint32_t>& table,
                                  const std::vector<uint8_t>& rows, uint32_t coloursUsed = 0) {
    std::vector<uint8_t> data(40);
    Put32(data, 0, 40);
    Put32(data, 4, static_cast<uint32_t>(width));
    Put32(data, 8, static_cast<uint32_t>(height));
    Put16(data, 12, 1);
    Put16(data, 14, bits);
    Put32(data, 32, coloursUsed);
    for (uint32_t colour : table) {
        data.push_back(colour & 0xFF);
        data.push_back((colour >> 8) & 0xFF);
        data.push_back((colour >> 16) & 0xFF);
        data.push_back(0x5A); // unused byte, must not become alpha
    }
    data.insert(data.end(), rows.begin(), rows.end());
    return data;
}

std::vector<uint32_t> GreyRamp(uint32_t entries) {
    std::vector<uint32_t> table;
    for (uint32_t i = 0; i < entries; ++i) {
        const uint32_t level = i * 255 / (entries - 1);
        table.push_back(level << 16 | level << 8 | level);
    }
    return table;
}

// Decodes from a heap block of exactly the data's size, so that the address sanitizer reports
// any read past its end.
bool DecodeExact(const std::vector<uint8_t>& data, ArgbImage* image) {
    std::unique_ptr<uint8_t[]> block(new uint8_t[data.size() + (data.empty() ? 1 : 0)]);
    if (!data.empty()) {
        std::memcpy(block.get(), data.data(), data.size());
    }
    return DecodeBitmap(block.get(), data.size(), image);
}

TEST(DecodeBitmap, FourBitPixelsReadHighNibbleFirstAndTheBottomRowIsStoredFirst) {
    // 3 x 2; the stored rows are bottom then top, each padded to 4 bytes.
    const std::vector<uint32_t> table = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    const std::vector<uint8_t> rows = {0x32, 0x10, 0, 0, 0x12, 0x30, 0, 0};
    ArgbImage image;
    ASSERT_TRUE(DecodeExact(PackedBitmap(3, 2, 4, table, rows, 4), &image));
    ASSERT_EQ(3u, image.width);
    ASSERT_EQ(2u, image.height);
    EXPECT_EQ((std::vector<uint32_t>{0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFF0000, 0xFF00FF00,
                                     0xFF0000FF}),
              image.pixels);
}

TEST(DecodeBitmap, OneAndEightBitPixelsUseTheirColourTable) {
    ArgbImage image;
    // 10 x 1 at one bit: 0b10110000 0b01000000, padded.
    ASSERT_TRUE(
        DecodeExact(PackedBitmap(10, 1, 1, {0x102030, 0xA0B0C0}, {0xB0, 0x40, 0, 0}), &image));
    const uint32_t o = 0xFF102030, l = 0xFFA0B0C0;
    EXPECT_EQ((std::vector<uint32_t>{l, o, l, l, o, o, o, o, o, l}), image.pixels);

    ASSERT_TRUE(DecodeExact(PackedBitmap(2, 1, 8, GreyRamp(256), {0x00, 0xFF, 0, 0}), &image));
    EXPECT_EQ((std::vector<uint32_t>{0xFF000000, 0xFFFFFFFF}), image.pixels);
}

TEST(DecodeBitmap, AShortColourTableIsHonouredAndIndicesPastItReadAsOpaqueBlack) {
    // Three entries announced and stored; the pixels follow them directly.
    ArgbImage image;
    ASSERT_TRUE(DecodeExact(
        PackedBitmap(4, 1, 8, {0x112233, 0x445566, 0x778899}, {0, 2, 3, 200}, 3), &image));
    EXPECT_EQ((std::vector<uint32_t>{0xFF112233, 0xFF778899, 0xFF000000, 0xFF000000}),
              image.pixels);
}

TEST(DecodeBitmap, TrueColourRowsArePaddedAndTheFourthByteIsNotAlpha) {
    ArgbImage image;
    // 1 x 2 at 24 bits: each row 3 bytes and one of padding; bottom row first.
    ASSERT_TRUE(DecodeExact(PackedBitmap(1, 2, 24, {}, {1, 2, 3, 0xEE, 4, 5, 6, 0xEE}), &image));
    EXPECT_EQ((std::vector<uint32_t>{0xFF060504, 0xFF030201}), image.pixels);

    ASSERT_TRUE(DecodeExact(PackedBitmap(2, 1, 32, {}, {1, 2, 3, 0x00, 4, 5, 6, 0x80}), &image));
    EXPECT_EQ((std::vector<uint32_t>{0xFF030201, 0xFF060504}), image.pixels);
}

TEST(DecodeBitmap, NegativeHeightMeansTopRowFirst) {
    ArgbImage image;
    ASSERT_TRUE(DecodeExact(PackedBitmap(1, -2, 24, {}, {1, 2, 3, 0, 4, 5, 6, 0}), &image));
    EXPECT_EQ(2u, image.height);
    EXPECT_EQ((std::vector<uint32_t>{0xFF030201, 0xFF060504}), image.pixels);
}

TEST(DecodeBitmap, BmpFilesAreReadFromTheirPixelOffset) {
    const std::vector<uint8_t> packed = PackedBitmap(1, 1, 24, {}, {9, 8, 7, 0});
    std::vector<uint8_t> file(14);
    file[0] = 'B';
    file[1] = 'M';
    file.insert(file.end(), packed.begin(), packed.end() - 4);
    file.insert(file.end(), {0xAA, 0xAA, 0xAA, 0xAA}); // a gap before the pixels
    file.insert(file.end(), {9, 8, 7, 0});
    Put32(file, 2, static_cast<uint32_t>(file.size()));
    Put32(file, 10, 14 + 40 + 4);
    ArgbImage image;
    ASSERT_TRUE(DecodeExact(file, &image));
    EXPECT_EQ((std::vector<uint32_t>{0xFF070809}), image.pixels);

    Put32(file, 10, 14 + 40 + 5); // pixels would end one byte past the data
    EXPECT_FALSE(DecodeExact(file, &image));
    Put32(file, 10, 14 + 20); // pixels inside the header
    EXPECT_FALSE(DecodeExact(file, &image));
}

TEST(DecodeBitmap, RefusesOtherFormatsAndDataThatEndsEarly) {
    const std::vector<uint8_t> good =
        PackedBitmap(2, 2, 8, GreyRamp(4), {0, 1, 0, 0, 2, 3, 0, 0}, 4);
    ArgbImage image;
    ASSERT_TRUE(DecodeExact(good, &image));

    auto changed = [&](size_t at, uint32_t value, bool wide) {
        std::vector<uint8_t> data = good;
        if (wide) {
            Put32(data, at, value);
        } else {
            Put16(data, at, value);
        }
        return data;
    };
    const struct {
        const char* what;
        std::vector<uint8_t> data;
    } refused[] = {
        {"core header (12 bytes)", changed(0, 12, true)},
        {"unknown header size", changed(0, 41, true)},
        {"header longer than the data", changed(0, 124, true)},
        {"zero width", changed(4, 0, true)},
        {"negative width", changed(4, 0xFFFFFFFF, true)},
        {"zero height", changed(8, 0, true)},
        {"most negative height", changed(8, 0x80000000, true)},
        {"two planes", changed(12, 2, false)},
        {"16 bits per pixel", changed(14, 16, false)},
        {"2 bits per pixel", changed(14, 2, false)},
        {"run-length compression", changed(16, 1, true)},
        {"bit-field masks", changed(16, 3, true)},
        {"more colours than 8 bits hold", changed(32, 257, true)},
        {"a taller image than the pixels stored", changed(8, 3, true)},
        {"a huge width", changed(4, 0x7FFFFFFF, true)},
        {"one pixel byte missing", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"colour table cut short", std::vector<uint8_t>(good.begin(), good.begin() + 50)},
        {"header cut short", std::vector<uint8_t>(good.begin(), good.begin() + 39)},
        {"nothing", {}},
        {"a lone file signature", {'B', 'M'}},
    };
    for (const auto& entry : refused) {
        image.width = 77;
        EXPECT_FALSE(DecodeExact(entry.data, &image)) << entry.what;
        EXPECT_EQ(77u, image.width) << entry.what << ": the image is left alone";
    }
    EXPECT_FALSE(DecodeBitmap(nullptr, 100, &image));
}

TEST(ApplyColourKey, TurnsExactlyTheKeyColourIntoTransparentBlack) {
    ArgbImage image{4, 1, {0xFF0000FF, 0xFF0000FE, 0xFF000000, 0xFF0000FF}};
    ApplyColourKey(image, 0xFF0000FF);
    EXPECT_EQ((std::vector<uint32_t>{0, 0xFF0000FE, 0xFF000000, 0}), image.pixels);

    ArgbImage opaque{1, 1, {0xFF000000}};
    ApplyColourKey(opaque, 0); // a key of 0 matches no opaque pixel
    EXPECT_EQ(0xFF000000u, opaque.pixels[0]);
}

// Valid bitmaps of every accepted kind, damaged at random: every decode either fails or yields an
// image whose pixel count matches its size, and never reads outside the data (the address
// sanitizer watches the exact-sized copies).
TEST(DecodeBitmap, RandomlyDamagedBitmapsNeverReadOutsideTheirData) {
    std::vector<std::vector<uint8_t>> seeds = {
        PackedBitmap(5, 3, 1, GreyRamp(2), std::vector<uint8_t>(12, 0xA5)),
        PackedBitmap(7, 4, 4, GreyRamp(16), std::vector<uint8_t>(16, 0x3C)),
        PackedBitmap(3, -3, 8, GreyRamp(5), std::vector<uint8_t>(12, 0x04), 5),
        PackedBitmap(3, 2, 24, {}, std::vector<uint8_t>(24, 0x7E)),
        PackedBitmap(2, 2, 32, {0x123456}, std::vector<uint8_t>(16, 0x11), 1),
    };
    std::vector<uint8_t> file(14);
    file[0] = 'B';
    file[1] = 'M';
    file.insert(file.end(), seeds[1].begin(), seeds[1].end());
    Put32(file, 10, 14 + 40 + 64);
    seeds.push_back(file);

    std::mt19937 random(20261207);
    int decoded = 0;
    for (int round = 0; round < 20000; ++round) {
        std::vector<uint8_t> data = seeds[random() % seeds.size()];
        const int damages = 1 + random() % 4;
        for (int d = 0; d < damages; ++d) {
            switch (random() % 4) {
            case 0: // a random byte in the headers
                data[random() % std::min<size_t>(data.size(), 60)] = static_cast<uint8_t>(random());
                break;
            case 1: // a random 32-bit field of the headers
                if (data.size() >= 56) {
                    Put32(data, (random() % 14) * 4, static_cast<uint32_t>(random()));
                }
                break;
            case 2: // cut short
                data.resize(random() % (data.size() + 1));
                break;
            default: // a byte anywhere
                if (!data.empty()) {
                    data[random() % data.size()] = static_cast<uint8_t>(random());
                }
                break;
            }
            if (data.size() < 4) {
                break;
            }
        }
        ArgbImage image;
        if (DecodeExact(data, &image)) {
            ++decoded;
            ASSERT_EQ(static_cast<size_t>(image.width) * image.height, image.pixels.size());
            ASSERT_LE(static_cast<uint64_t>(image.width) * image.height, data.size() * 8);
        }
    }
    EXPECT_GT(decoded, 100) << "the damage left some bitmaps readable";
}

} // namespace
