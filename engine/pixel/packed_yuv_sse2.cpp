// The 128-bit form: eight pixels (four pairs) per step. Blue and red, green and alpha are taken
// apart as 16-bit lanes straight from the pixels, so one multiply-add each gives every pixel's
// weighted sum in place, without widening or horizontal adds.
#include "packed_yuv_rows.h"

#include <emmintrin.h>

namespace {

#define VX_SSE2 __attribute__((target("sse2")))

// Dwords 0 and 2 of a, then of b.
VX_SSE2 inline __m128i EvenDwords(__m128i a, __m128i b) {
    return _mm_castps_si128(
        _mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(2, 0, 2, 0)));
}

// Dwords 1 and 3 of a, then of b.
VX_SSE2 inline __m128i OddDwords(__m128i a, __m128i b) {
    return _mm_castps_si128(
        _mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(3, 1, 3, 1)));
}

VX_SSE2 inline __m128i LumaOfFour(__m128i blueRed, __m128i pixels) {
    const __m128i greenAlpha = _mm_srli_epi16(pixels, 8);
    const __m128i weighted =
        _mm_add_epi32(_mm_madd_epi16(blueRed, _mm_set1_epi32(WordPair(kBlueWeight, kRedWeight))),
                      _mm_madd_epi16(greenAlpha, _mm_set1_epi32(kGreenWeight)));
    return _mm_srai_epi32(_mm_add_epi32(weighted, _mm_set1_epi32(kLumaOffset)), 15);
}

// Eight pixels in, sixteen bytes of four packed groups out.
template <PackedYuvOrder order> VX_SSE2 inline __m128i PackEight(__m128i low, __m128i high) {
    const __m128i lowBlueRed = _mm_and_si128(low, _mm_set1_epi32(0x00FF00FF));
    const __m128i highBlueRed = _mm_and_si128(high, _mm_set1_epi32(0x00FF00FF));
    const __m128i luma =
        _mm_packs_epi32(LumaOfFour(lowBlueRed, low), LumaOfFour(highBlueRed, high)); // Y0..Y7

    // Per pair: its blue and red sums, and the correction C shared by DB and DR.
    const __m128i colourSums =
        _mm_add_epi32(EvenDwords(lowBlueRed, highBlueRed), OddDwords(lowBlueRed, highBlueRed));
    const __m128i pairLuma = _mm_madd_epi16(luma, _mm_set1_epi16(1));
    const __m128i correction =
        _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(pairLuma, _mm_set1_epi32(kLumaScale)),
                                     _mm_set1_epi32(kPairCorrectionOffset)),
                       9);
    // DB, DR of each pair.
    const __m128i differences = _mm_sub_epi16(
        _mm_slli_epi16(colourSums, 5), _mm_or_si128(correction, _mm_slli_epi32(correction, 16)));

    // U and V: the high half of gain x difference, rounded by the top bit of the low half.
    const __m128i gains = _mm_set1_epi32(WordPair(kBlueGain, kRedGain));
    const __m128i chroma =
        _mm_add_epi16(_mm_add_epi16(_mm_mulhi_epi16(differences, gains),
                                    _mm_srli_epi16(_mm_mullo_epi16(differences, gains), 15)),
                      _mm_set1_epi16(128));

    if constexpr (order == PackedYuvOrder::kYuy2) {
        return _mm_packus_epi16(_mm_unpacklo_epi16(luma, chroma), _mm_unpackhi_epi16(luma, chroma));
    } else {
        return _mm_packus_epi16(_mm_unpacklo_epi16(chroma, luma), _mm_unpackhi_epi16(chroma, luma));
    }
}

template <PackedYuvOrder order>
VX_SSE2 void ConvertRowSse2(const uint8_t* source, uint8_t* destination, int32_t width) {
    int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * x));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * x + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + 2 * x),
                         PackEight<order>(low, high));
    }
    ConvertPixels<order>(source, destination, x, width);
}

} // namespace

void RgbToYuy2Sse2(uint32_t rows, int32_t width, const void* source, void* destination,
                   int32_t sourcePitch, int32_t destinationPitch) {
    ConvertRows(rows, width, source, destination, sourcePitch, destinationPitch,
                ConvertRowSse2<PackedYuvOrder::kYuy2>);
}

void RgbToUyvySse2(uint32_t rows, int32_t width, const void* source, void* destination,
                   int32_t sourcePitch, int32_t destinationPitch) {
    ConvertRows(rows, width, source, destination, sourcePitch, destinationPitch,
                ConvertRowSse2<PackedYuvOrder::kUyvy>);
}
