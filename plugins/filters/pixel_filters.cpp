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

// Four opaque pixels at a time, with the same arithmetic as the pixel routines above; blocks
// that are not wholly opaque and the ends of rows go through those routines.
#define VX_SSE2 __attribute__((target("sse2")))

VX_SSE2 inline __m128i Opaque() {
    return _mm_set1_epi32(static_cast<int>(kAlphaMask));
}

// The luma of four pixels, one in each 32-bit lane.
VX_SSE2 inline __m128i Luma4(__m128i pixels) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i weights = _mm_set_epi16(0, kWeightRed, kWeightGreen, kWeightBlue, 0, kWeightRed,
                                          kWeightGreen, kWeightBlue);
    const __m128i low = _mm_madd_epi16(_mm_unpacklo_epi8(pixels, zero), weights);
    const __m128i high = _mm_madd_epi16(_mm_unpackhi_epi8(pixels, zero), weights);
    // Each pixel has two partial sums (blue and green, red): add them up.
    const __m128 lowSums = _mm_castsi128_ps(low);
    const __m128 highSums = _mm_castsi128_ps(high);
    const __m128i even =
        _mm_castps_si128(_mm_shuffle_ps(lowSums, highSums, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m128i odd =
        _mm_castps_si128(_mm_shuffle_ps(lowSums, highSums, _MM_SHUFFLE(3, 1, 3, 1)));
    return _mm_srli_epi32(_mm_add_epi32(_mm_add_epi32(even, odd), _mm_set1_epi32(kHalf)), 8);
}

VX_SSE2 inline __m128i InvertOpaque4(__m128i pixels) {
    return _mm_xor_si128(pixels, _mm_set1_epi32(static_cast<int>(kColourMask)));
}

VX_SSE2 inline __m128i GrayOpaque4(__m128i pixels) {
    const __m128i y = Luma4(pixels);
    return _mm_or_si128(_mm_or_si128(y, _mm_slli_epi32(y, 8)),
                        _mm_or_si128(_mm_slli_epi32(y, 16), Opaque()));
}

VX_SSE2 inline __m128i YellowOpaque4(__m128i pixels) {
    const __m128i y = Luma4(pixels);
    const __m128i raw =
        _mm_sub_epi32(_mm_set1_epi32(kYellowOffset), _mm_add_epi32(y, _mm_add_epi32(y, y)));
    // Clamped to 0..255 in 16-bit lanes, then back to one level per 32-bit lane.
    const __m128i clamped = _mm_min_epi16(
        _mm_max_epi16(_mm_packs_epi32(raw, raw), _mm_setzero_si128()), _mm_set1_epi16(255));
    const __m128i level = _mm_unpacklo_epi16(clamped, _mm_setzero_si128());
    return _mm_or_si128(_mm_or_si128(_mm_slli_epi32(level, 8), _mm_slli_epi32(level, 16)),
                        Opaque());
}

VX_SSE2 inline __m128i LightnessOpaque4(__m128i pixels) {
    const __m128i low8 = _mm_set1_epi32(0xFF);
    const __m128i green = _mm_srli_epi32(pixels, 8);
    const __m128i red = _mm_srli_epi32(pixels, 16);
    // The lowest byte of each lane: the largest and the smallest of blue, green and red.
    const __m128i high = _mm_and_si128(_mm_max_epu8(_mm_max_epu8(pixels, green), red), low8);
    const __m128i low = _mm_and_si128(_mm_min_epu8(_mm_min_epu8(pixels, green), red), low8);
    const __m128i shift = _mm_sub_epi32(_mm_set1_epi32(255), _mm_add_epi32(high, low));
    // Each pixel's shift in the four 16-bit lanes of its channels.
    const __m128i shifts = _mm_packs_epi32(shift, shift);
    const __m128i pairs = _mm_unpacklo_epi16(shifts, shifts);
    const __m128i zero = _mm_setzero_si128();
    const __m128i first =
        _mm_add_epi16(_mm_unpacklo_epi8(pixels, zero), _mm_unpacklo_epi32(pairs, pairs));
    const __m128i second =
        _mm_add_epi16(_mm_unpackhi_epi8(pixels, zero), _mm_unpackhi_epi32(pairs, pairs));
    const __m128i moved = _mm_packus_epi16(first, second);
    return _mm_or_si128(_mm_and_si128(moved, _mm_set1_epi32(static_cast<int>(kColourMask))),
                        Opaque());
}

template <__m128i (*Map4)(__m128i), uint32_t (*Map)(uint32_t)>
VX_SSE2 void MapPixelsSse2(const PixelRows& rows) {
    const __m128i alpha = Opaque();
    for (uint32_t r = 0; r < rows.height; ++r) {
        uint32_t* row = Row(rows, r);
        uint32_t x = 0;
        for (; x + 4 <= rows.width; x += 4) {
            __m128i* block = reinterpret_cast<__m128i*>(row + x);
            const __m128i pixels = _mm_loadu_si128(block);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(pixels, alpha), alpha)) == 0xFFFF) {
                _mm_storeu_si128(block, Map4(pixels));
            } else {
                for (uint32_t i = x; i < x + 4; ++i) {
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

template <__m128i (*Map4)(__m128i), uint32_t (*Map)(uint32_t)> void Filter(const PixelRows& rows) {
    if (kSse2) {
        MapPixelsSse2<Map4, Map>(rows);
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
    VX_CHOOSE(InvertOpaque4, InvertPixel)(rows);
}

void Grayscale(const PixelRows& rows) {
    VX_CHOOSE(GrayOpaque4, GrayPixel)(rows);
}

void InvertLightness(const PixelRows& rows) {
    VX_CHOOSE(LightnessOpaque4, LightnessPixel)(rows);
}

void YellowOnBlack(const PixelRows& rows) {
    VX_CHOOSE(YellowOpaque4, YellowPixel)(rows);
}
