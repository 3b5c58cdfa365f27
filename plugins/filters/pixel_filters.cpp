#include "pixel_filters.h"

#include <cstddef>

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#define VX_FILTERS_SSE2 1
#endif

namespace {

constexpr uint32_t kAlphaMask = 0xFF000000u;
constexpr uint32_t kColourMask = 0x00FFFFFFu;
constexpr uint32_t kOpaque = 0xFF;

// Rec. 601 weights in 256ths, and the rounding; they add up to 256, so white stays 255 and no
// value exceeds the largest channel.
constexpr int kWeightRed = 77;
constexpr int kWeightGreen = 150;
constexpr int kWeightBlue = 29;
constexpr int kHalf = 128;

// Yellow on black: the level of an opaque pixel is 3 (255 - luma - 128) + 128 = 509 - 3 luma,
// clamped to 0..255.
constexpr int kYellowOffset = 509;
constexpr int kYellowSlope = 3;

uint32_t AlphaOf(uint32_t pixel) {
    return pixel >> 24;
}
uint32_t Channel(uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFF;
}
uint32_t Pixel(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue) {
    return alpha << 24 | red << 16 | green << 8 | blue;
}

uint32_t Luma(uint32_t pixel) {
    return (kWeightRed * Channel(pixel, 16) + kWeightGreen * Channel(pixel, 8) +
            kWeightBlue * Channel(pixel, 0) + kHalf) >>
           8;
}

uint32_t YellowLevel(uint32_t invertedLuma) {
    const int level = kYellowSlope * (static_cast<int>(invertedLuma) - kHalf) + kHalf;
    return level < 0 ? 0 : level > 255 ? 255 : static_cast<uint32_t>(level);
}

// One pixel of any alpha.
uint32_t InvertPixel(uint32_t pixel) {
    const uint32_t alpha = AlphaOf(pixel);
    if (alpha == kOpaque) {
        return pixel ^ kColourMask;
    }
    auto complement = [alpha](uint32_t c) { return c < alpha ? alpha - c : 0; };
    return Pixel(alpha, complement(Channel(pixel, 16)), complement(Channel(pixel, 8)),
                 complement(Channel(pixel, 0)));
}

uint32_t GrayPixel(uint32_t pixel) {
    const uint32_t alpha = AlphaOf(pixel);
    const uint32_t luma = Luma(pixel);
    const uint32_t y = luma < alpha ? luma : alpha;
    return Pixel(alpha, y, y, y);
}

// The colours move by alpha - (largest + smallest), which keeps their differences (hue and
// saturation) and mirrors their middle (lightness) within alpha. Clamped only for pixels that are
// not premultiplied.
uint32_t LightnessPixel(uint32_t pixel) {
    const int alpha = static_cast<int>(AlphaOf(pixel));
    const int red = static_cast<int>(Channel(pixel, 16));
    const int green = static_cast<int>(Channel(pixel, 8));
    const int blue = static_cast<int>(Channel(pixel, 0));
    const int high = red > green ? (red > blue ? red : blue) : (green > blue ? green : blue);
    const int low = red < green ? (red < blue ? red : blue) : (green < blue ? green : blue);
    const int shift = alpha - high - low;
    auto moved = [alpha, shift](int c) {
        const int level = c + shift;
        return static_cast<uint32_t>(level < 0 ? 0 : level > alpha ? alpha : level);
    };
    return Pixel(static_cast<uint32_t>(alpha), moved(red), moved(green), moved(blue));
}

uint32_t YellowPixel(uint32_t pixel) {
    const uint32_t alpha = AlphaOf(pixel);
    if (alpha == 0) {
        return 0;
    }
    // The level of the unpremultiplied colour, premultiplied again (nothing to do when opaque).
    const uint32_t luma = Luma(pixel);
    const uint32_t covered = luma < alpha ? alpha - luma : 0;
    const uint32_t level = YellowLevel((covered * 255 + alpha / 2) / alpha) * alpha / 255;
    return Pixel(alpha, level, level, 0);
}

uint32_t* Row(const PixelRows& rows, uint32_t r) {
    return reinterpret_cast<uint32_t*>(rows.first + static_cast<ptrdiff_t>(r) * rows.pitch);
}

template <uint32_t (*Map)(uint32_t)> void MapPixels(const PixelRows& rows) {
    for (uint32_t r = 0; r < rows.height; ++r) {
        uint32_t* row = Row(rows, r);
        for (uint32_t x = 0; x < rows.width; ++x) {
            row[x] = Map(row[x]);
        }
    }
}

#if defined(VX_FILTERS_SSE2)

// Eight opaque pixels at a time, with the same arithmetic as the pixel routines above; blocks
// that are not wholly opaque and the ends of rows go through those routines.
#define VX_SSE2 __attribute__((target("sse2")))

// Eight pixels: the first four and the next four.
struct Block {
    __m128i first;
    __m128i second;
};

VX_SSE2 inline __m128i Opaque() {
    return _mm_set1_epi32(static_cast<int>(kAlphaMask));
}

VX_SSE2 inline __m128i Words(int value) {
    return _mm_set1_epi16(static_cast<short>(value));
}

// The luma of four pixels, one in each 32-bit lane: blue and red, then green and alpha, sit in
// the two 16-bit halves of each pixel, and one multiply-add weighs and adds each pair.
VX_SSE2 inline __m128i Luma4(__m128i pixels) {
    const __m128i blueRed = _mm_and_si128(pixels, _mm_set1_epi32(0x00FF00FF));
    const __m128i greenAlpha = _mm_srli_epi16(pixels, 8);
    const __m128i sums =
        _mm_add_epi32(_mm_madd_epi16(blueRed, _mm_set1_epi32(kWeightRed << 16 | kWeightBlue)),
                      _mm_madd_epi16(greenAlpha, _mm_set1_epi32(kWeightGreen)));
    return _mm_srli_epi32(_mm_add_epi32(sums, _mm_set1_epi32(kHalf)), 8);
}

// The luma of eight pixels in 16-bit lanes.
VX_SSE2 inline __m128i Luma8(const Block& pixels) {
    return _mm_packs_epi32(Luma4(pixels.first), Luma4(pixels.second));
}

// Eight pixels from the 16-bit lanes of their blue and green bytes and of their red and alpha
// bytes.
VX_SSE2 inline Block Interleave(__m128i blueGreen, __m128i redAlpha) {
    return Block{_mm_unpacklo_epi16(blueGreen, redAlpha), _mm_unpackhi_epi16(blueGreen, redAlpha)};
}

VX_SSE2 inline Block InvertOpaque8(const Block& pixels) {
    const __m128i colours = _mm_set1_epi32(static_cast<int>(kColourMask));
    return Block{_mm_xor_si128(pixels.first, colours), _mm_xor_si128(pixels.second, colours)};
}

VX_SSE2 inline Block GrayOpaque8(const Block& pixels) {
    const __m128i y = Luma8(pixels);
    return Interleave(_mm_mullo_epi16(y, Words(0x0101)), _mm_or_si128(y, Words(0xFF00)));
}

VX_SSE2 inline Block YellowOpaque8(const Block& pixels) {
    // 509 - 3 luma, 0 where the subtraction saturates, and at most 255.
    const __m128i raw =
        _mm_subs_epu16(Words(kYellowOffset), _mm_mullo_epi16(Luma8(pixels), Words(kYellowSlope)));
    const __m128i levels = _mm_min_epi16(raw, Words(255));
    return Interleave(_mm_slli_epi16(levels, 8), _mm_or_si128(levels, Words(0xFF00)));
}

// The largest of each pixel's bytes 0 to 2 in all three of them, byte 3 being 0.
VX_SSE2 inline __m128i SpreadLargest(__m128i colours) {
    // Bytes 0 to 3 become blue, the larger of blue and green, of green and red, and red; each
    // then meets the byte two places away.
    const __m128i pairs = _mm_max_epu8(colours, _mm_slli_epi32(colours, 8));
    const int swap = _MM_SHUFFLE(2, 3, 0, 1);
    return _mm_max_epu8(pairs, _mm_shufflehi_epi16(_mm_shufflelo_epi16(pairs, swap), swap));
}

VX_SSE2 inline __m128i LightnessOpaque4(__m128i pixels) {
    const __m128i colourMask = _mm_set1_epi32(static_cast<int>(kColourMask));
    const __m128i high = SpreadLargest(_mm_and_si128(pixels, colourMask));
    const __m128i lowComplement = SpreadLargest(_mm_andnot_si128(pixels, colourMask));
    // c + 255 - (high + low) = (255 - low) - (high - c): never above 255, and below 0 only where
    // the subtraction saturates.
    const __m128i moved = _mm_subs_epu8(lowComplement, _mm_subs_epu8(high, pixels));
    return _mm_or_si128(moved, Opaque());
}

VX_SSE2 inline Block LightnessOpaque8(const Block& pixels) {
    return Block{LightnessOpaque4(pixels.first), LightnessOpaque4(pixels.second)};
}

// The row from its first pixel on a 16-byte boundary (when its pixels are 4-byte aligned), eight
// pixels a step.
template <Block (*Map8)(const Block&), uint32_t (*Map)(uint32_t)>
VX_SSE2 void MapPixelsSse2(const PixelRows& rows) {
    const __m128i alpha = Opaque();
    for (uint32_t r = 0; r < rows.height; ++r) {
        uint32_t* row = Row(rows, r);
        const uintptr_t address = reinterpret_cast<uintptr_t>(row);
        const uint32_t lead = address % 4 == 0 ? (16 - address % 16) % 16 / 4 : 0;
        uint32_t x = 0;
        for (; x < lead && x < rows.width; ++x) {
            row[x] = Map(row[x]);
        }
        for (; x + 8 <= rows.width; x += 8) {
            __m128i* block = reinterpret_cast<__m128i*>(row + x);
            const Block pixels = {_mm_loadu_si128(block), _mm_loadu_si128(block + 1)};
            const __m128i alphas = _mm_and_si128(_mm_and_si128(pixels.first, pixels.second), alpha);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(alphas, alpha)) == 0xFFFF) {
                const Block mapped = Map8(pixels);
                _mm_storeu_si128(block, mapped.first);
                _mm_storeu_si128(block + 1, mapped.second);
            } else {
                for (uint32_t i = x; i < x + 8; ++i) {
                    row[i] = Map(row[i]);
                }
            }
        }
        for (; x < rows.width; ++x) {
            row[x] = Map(row[x]);
        }
    }
}

bool HasSse2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2");
}

// Asked once, when the library is loaded: a static inside a function would take the runtime's
// thread lock at its first use, which sets up the thread library for the filtering thread and
// leaves that behind when the plug-in is freed.
const bool kSse2 = HasSse2();

template <Block (*Map8)(const Block&), uint32_t (*Map)(uint32_t)>
void Filter(const PixelRows& rows) {
    if (kSse2) {
        MapPixelsSse2<Map8, Map>(rows);
    } else {
        MapPixels<Map>(rows);
    }
}

#define VX_CHOOSE(vector, pixel) Filter<vector, pixel>
#else
#define VX_CHOOSE(vector, pixel) MapPixels<pixel>
#endif

} // namespace

void InvertColours(const PixelRows& rows) {
    VX_CHOOSE(InvertOpaque8, InvertPixel)(rows);
}

void Grayscale(const PixelRows& rows) {
    VX_CHOOSE(GrayOpaque8, GrayPixel)(rows);
}

void InvertLightness(const PixelRows& rows) {
    VX_CHOOSE(LightnessOpaque8, LightnessPixel)(rows);
}

void YellowOnBlack(const PixelRows& rows) {
    VX_CHOOSE(YellowOpaque8, YellowPixel)(rows);
}
