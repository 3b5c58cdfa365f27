// The shipped filters on known images: each known pixel turns into its expected pixel wherever
// it sits in the image, rows are reached through the pitch (also a negative one), and nothing
// outside the pixels is touched.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "pixel_filters.h"

namespace {

using Filter = void (*)(const PixelRows&);

struct PixelCase {
    uint32_t in;
    uint32_t out;
};

struct FilterCases {
    const char* name;
    Filter filter;
    std::vector<PixelCase> pixels;
};

// Opaque pixels are captured screen content; alpha 0 is the transparency of the one-window
// mode; the half-transparent ones are premultiplied, as the lens window takes them.
const FilterCases kFilters[] = {
    {"invert",
     InvertColours,
     {{0xFF102030, 0xFFEFDFCF},
      {0xFF000000, 0xFFFFFFFF},
      {0xFFFFFFFF, 0xFF000000},
      {0x00000000, 0x00000000},
      {0x80402010, 0x80406070}}},
    {"grayscale",
     Grayscale,
     {{0xFFFFFFFF, 0xFFFFFFFF},
      {0xFF000000, 0xFF000000},
      {0xFFFF0000, 0xFF4D4D4D},
      {0xFF00FF00, 0xFF959595},
      {0xFF0000FF, 0xFF1D1D1D},
      {0xFF336699, 0xFF5C5C5C},
      {0x00000000, 0x00000000},
      {0x80808080, 0x80808080}}},
    {"invert lightness",
     InvertLightness,
     {{0xFF000000, 0xFFFFFFFF},
      {0xFFFFFFFF, 0xFF000000},
      {0xFF102030, 0xFFCFDFEF}, // a dark blue-grey turns light, still blue-grey
      {0xFFFF0000, 0xFFFF0000}, // pure red is of middle lightness
      {0xFF00008B, 0xFF7474FF}, // dark blue becomes light blue
      {0x00000000, 0x00000000},
      {0x80402010, 0x80705040}}}, // premultiplied: mirrored within its alpha
    {"yellow on black",
     YellowOnBlack,
     {{0xFF000000, 0xFFFFFF00},   // black text: bright yellow
      {0xFFFFFFFF, 0xFF000000},   // white page: black
      {0xFF808080, 0xFF7D7D00},   // middle grey stays in the middle
      {0xFF565656, 0xFFFBFB00},   // dark grey almost full yellow
      {0xFFAAAAAA, 0xFF000000},   // light grey black
      {0xFF0000FF, 0xFFFFFF00},   // pure blue is dark
      {0x00000000, 0x00000000},   // transparent stays so
      {0x80000000, 0x80808000}}}, // half-covered black: yellow at half
};

// An image of `width` x `height` pixels with four bytes of padding after each row, the rows
// stored top-down or bottom-up.
struct Image {
    Image(uint32_t width, uint32_t height, bool bottomUp)
        : stride(width + 1), memory(stride * height + 2, kSentinel) {
        const int32_t pitch = static_cast<int32_t>(stride * 4);
        uint8_t* base = reinterpret_cast<uint8_t*>(memory.data() + 1);
        rows = {bottomUp ? base + (height - 1) * stride * 4 : base, bottomUp ? -pitch : pitch,
                width, height};
    }
    uint32_t& At(uint32_t x, uint32_t y) {
        return reinterpret_cast<uint32_t*>(rows.first + static_cast<ptrdiff_t>(y) * rows.pitch)[x];
    }
    static constexpr uint32_t kSentinel = 0xA5A5A5A5u;
    uint32_t stride;
    std::vector<uint32_t> memory;
    PixelRows rows;
};

// Fills a `width` x 3 image with the cases, shifted by one on each row, filters it and checks
// every pixel and the padding.
void CheckImage(Filter filter, const std::vector<PixelCase>& cases, uint32_t width, bool bottomUp) {
    SCOPED_TRACE(testing::Message() << width << (bottomUp ? " wide, bottom-up" : " wide"));
    const uint32_t count = static_cast<uint32_t>(cases.size());
    Image image(width, 3, bottomUp);
    for (uint32_t y = 0; y < 3; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            image.At(x, y) = cases[(x + y) % count].in;
        }
    }
    filter(image.rows);
    size_t untouched = 0;
    for (uint32_t word : image.memory) {
        untouched += word == Image::kSentinel;
    }
    EXPECT_EQ(image.memory.size() - 3 * width, untouched) << "padding left alone";
    for (uint32_t y = 0; y < 3; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const PixelCase& c = cases[(x + y) % count];
            EXPECT_EQ(c.out, image.At(x, y)) << std::hex << c.in << " at " << x << "," << y;
        }
    }
}

// Rows of mixed alpha, and rows wholly opaque (screen content, taken four pixels at a time
// where the processor can, with the row's last pixels one by one).
TEST(PixelFilters, TurnEachKnownPixelIntoItsExpectedPixel) {
    for (const FilterCases& f : kFilters) {
        SCOPED_TRACE(f.name);
        std::vector<PixelCase> opaque;
        for (const PixelCase& c : f.pixels) {
            if (c.in >> 24 == 0xFF) {
                opaque.push_back(c);
            }
        }
        for (bool bottomUp : {false, true}) {
            CheckImage(f.filter, f.pixels, static_cast<uint32_t>(f.pixels.size()), bottomUp);
            CheckImage(f.filter, opaque, 11, bottomUp);
        }
    }
}

// Over every alpha and many colours, all premultiplied: each filter keeps alpha and gives no
// colour above it, and either inversion twice gives back the image.
TEST(PixelFilters, KeepAlphaAndPremultipliedColours) {
    Image image(256, 256, false);
    auto covered = [](uint32_t colour, uint32_t alpha) { return colour < alpha ? colour : alpha; };
    for (uint32_t alpha = 0; alpha < 256; ++alpha) {
        for (uint32_t c = 0; c < 256; ++c) {
            image.At(c, alpha) = alpha << 24 | covered(c, alpha) << 16 |
                                 covered(c * 7 & 0xFF, alpha) << 8 | covered(255 - c, alpha);
        }
    }
    const std::vector<uint32_t> original = image.memory;
    for (const FilterCases& f : kFilters) {
        SCOPED_TRACE(f.name);
        image.memory = original;
        f.filter(image.rows);
        for (uint32_t alpha = 0; alpha < 256; ++alpha) {
            for (uint32_t c = 0; c < 256; ++c) {
                const uint32_t pixel = image.At(c, alpha);
                ASSERT_EQ(alpha, pixel >> 24) << std::hex << pixel;
                for (int shift : {0, 8, 16}) {
                    ASSERT_LE((pixel >> shift) & 0xFF, alpha) << std::hex << pixel;
                }
            }
        }
    }
    for (Filter invert : {InvertColours, InvertLightness}) {
        image.memory = original;
        invert(image.rows);
        invert(image.rows);
        EXPECT_EQ(original, image.memory);
    }
}

// Random pixels, most opaque, in rows that start anywhere: each comes out as it does alone.
TEST(PixelFilters, GiveEveryPixelInARowWhatItGetsAlone) {
    std::mt19937 generator(1);
    for (const FilterCases& f : kFilters) {
        SCOPED_TRACE(f.name);
        std::vector<PixelCase> cases(8191);
        for (PixelCase& c : cases) {
            c.in = c.out = generator() % 16 == 0 ? generator() : 0xFF000000u | generator();
            f.filter(PixelRows{reinterpret_cast<uint8_t*>(&c.out), 4, 1, 1});
        }
        for (uint32_t width : {16u, 30u, 8191u}) {
            CheckImage(f.filter, cases, width, false);
        }
    }
}

} // namespace
