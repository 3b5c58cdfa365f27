// The 128-bit lens pixel routines. Channels are widened to 16-bit lanes; the gain takes the high
// half of a 16-bit product, and the bilinear weights pair each value with its neighbour's so that
// one multiply-add gives a weighted sum per channel.
#include <emmintrin.h>

#include <cstring>

#include "lens_pixels_rows.h"

namespace {

#define VX_SSE2 __attribute__((target("sse2")))

// Blue, green and red times the gain, alpha times one, for two pixels of 16-bit lanes.
VX_SSE2 inline __m128i GainTwo(__m128i lanes, __m128i gains) {
    const __m128i twice = _mm_mulhi_epu16(_mm_slli_epi16(lanes, 6), gains);
    return _mm_avg_epu16(twice, _mm_setzero_si128());
}

// Pixels p[first] and p[first + 1] as 16-bit lanes, each channel beside its neighbour's.
VX_SSE2 inline __m128i NeighbourBytes(const uint32_t* source, int32_t first) {
    const __m128i pair = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + first));
    return _mm_unpacklo_epi8(pair, _mm_srli_si128(pair, 4));
}

VX_SSE2 inline __m128i WeightPair(const int16_t* weights) {
    int32_t both;
    std::memcpy(&both, weights, sizeof both);
    return _mm_set1_epi32(both);
}

// Two pixels' eight values of both rows as eight weighted sums, back at 16 bits.
VX_SSE2 inline __m128i DownTwo(const int16_t* upper, const int16_t* lower, __m128i pair) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower));
    const __m128i half = _mm_set1_epi32(1 << 20);
    const __m128i low = _mm_madd_epi16(_mm_unpacklo_epi16(a, b), pair);
    const __m128i high = _mm_madd_epi16(_mm_unpackhi_epi16(a, b), pair);
    return _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(low, half), 21),
                           _mm_srai_epi32(_mm_add_epi32(high, half), 21));
}

} // namespace

VX_SSE2 void OpaqueRowSse2(const uint32_t* source, uint32_t* target, int32_t width) {
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int32_t x = 0;
    for (; x + 4 <= width; x += 4) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x), _mm_or_si128(pixels, alpha));
    }
    OpaqueRowScalar(source + x, target + x, width - x);
}

VX_SSE2 void GainRowSse2(uint32_t* pixels, int32_t width, uint32_t gain) {
    const short g = static_cast<short>(gain);
    const short one = static_cast<short>(kGainOne);
    const __m128i gains = _mm_setr_epi16(g, g, g, one, g, g, g, one);
    const __m128i zero = _mm_setzero_si128();
    int32_t x = 0;
    for (; x + 4 <= width; x += 4) {
        __m128i* at = reinterpret_cast<__m128i*>(pixels + x);
        const __m128i four = _mm_loadu_si128(at);
        const __m128i low = GainTwo(_mm_unpacklo_epi8(four, zero), gains);
        const __m128i high = GainTwo(_mm_unpackhi_epi8(four, zero), gains);
        _mm_storeu_si128(at, _mm_packus_epi16(low, high));
    }
    GainRowScalar(pixels + x, width - x, gain);
}

VX_SSE2 void AcrossRowSse2(const uint32_t* source, const AxisStep* steps, int32_t width,
                           int16_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi32(64);
    int32_t x = 0;
    for (; x + 2 <= width; x += 2) {
        const __m128i both = _mm_unpacklo_epi64(NeighbourBytes(source, steps[x].first),
                                                NeighbourBytes(source, steps[x + 1].first));
        const __m128i first =
            _mm_madd_epi16(_mm_unpacklo_epi8(both, zero), WeightPair(steps[x].weights));
        const __m128i second =
            _mm_madd_epi16(_mm_unpackhi_epi8(both, zero), WeightPair(steps[x + 1].weights));
        const __m128i values = _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(first, half), 7),
                                               _mm_srai_epi32(_mm_add_epi32(second, half), 7));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), values);
    }
    AcrossRowScalar(source, steps + x, width - x, out + 4 * x);
}

VX_SSE2 void DownRowSse2(const int16_t* upper, const int16_t* lower, const int16_t* weights,
                         int32_t width, uint32_t* out) {
    const __m128i pair = WeightPair(weights);
    int32_t x = 0;
    for (; x + 4 <= width; x += 4) {
        const __m128i first = DownTwo(upper + 4 * x, lower + 4 * x, pair);
        const __m128i second = DownTwo(upper + 4 * x + 8, lower + 4 * x + 8, pair);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(first, second));
    }
    DownRowScalar(upper + 4 * x, lower + 4 * x, weights, width - x, out + x);
}
