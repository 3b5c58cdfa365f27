// The 256-bit form: sixteen pixels (eight pairs) per step, the arithmetic of the 128-bit form in
// each 128-bit half; the halves' results are put back in pixel order before the store.
#include "packed_yuv_rows.h"

#include <immintrin.h>

namespace {

#define VX_AVX2 __attribute__((target("avx2")))

// Dwords 0 and 2 of each half of a, then of b.
VX_AVX2 inline __m256i EvenDwords(__m256i a, __m256i b) {
    return _mm256_castps_si256(
        _mm256_shuffle_ps(_mm256_castsi256_ps(a), _mm256_castsi256_ps(b), _MM_SHUFFLE(2, 0, 2, 0)));
}

// Dwords 1 and 3 of each half of a, then of b.
VX_AVX2 inline __m256i OddDwords(__m256i a, __m256i b) {
    return _mm256_castps_si256(
        _mm256_shuffle_ps(_mm256_castsi256_ps(a), _mm256_castsi256_ps(b), _MM_SHUFFLE(3, 1, 3, 1)));
}

VX_AVX2 inline __m256i LumaOfEight(__m256i blueRed, __m256i pixels) {
    const __m256i greenAlpha = _mm256_srli_epi16(pixels, 8);
    const __m256i weighted = _mm256_add_epi32(
        _mm256_madd_epi16(blueRed, _mm256_set1_epi32(WordPair(kBlueWeight, kRedWeight))),
        _mm256_madd_epi16(greenAlpha, _mm256_set1_epi32(kGreenWeight)));
    return _mm256_srai_epi32(_mm256_add_epi32(weighted, _mm256_set1_epi32(kLumaOffset)), 15);
}

// Sixteen pixels in, thirty-two bytes of eight packed groups out.
template <PackedYuvOrder order> VX_AVX2 inline __m256i PackSixteen(__m256i low, __m256i high) {
    const __m256i lowBlueRed = _mm256_and_si256(low, _mm256_set1_epi32(0x00FF00FF));
    const __m256i highBlueRed = _mm256_and_si256(high, _mm256_set1_epi32(0x00FF00FF));
    // Per half: Y of pixels 0-3 of low, then of high.
    const __m256i luma =
        _mm256_packs_epi32(LumaOfEight(lowBlueRed, low), LumaOfEight(highBlueRed, high));

    const __m256i colourSums =
        _mm256_add_epi32(EvenDwords(lowBlueRed, highBlueRed), OddDwords(lowBlueRed, highBlueRed));
    const __m256i pairLuma = _mm256_madd_epi16(luma, _mm256_set1_epi16(1));
    const __m256i correction = _mm256_srai_epi32(
        _mm256_add_epi32(_mm256_madd_epi16(pairLuma, _mm256_set1_epi32(kLumaScale)),
                         _mm256_set1_epi32(kPairCorrectionOffset)),
        9);
    const __m256i lowWordTwice =
        _mm256_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13, 0, 1, 0, 1, 4, 5, 4, 5,
                         8, 9, 8, 9, 12, 13, 12, 13);
    // DB, DR of each pair.
    const __m256i differences = _mm256_sub_epi16(_mm256_slli_epi16(colourSums, 5),
                                                 _mm256_shuffle_epi8(correction, lowWordTwice));

    const __m256i gains = _mm256_set1_epi32(WordPair(kBlueGain, kRedGain));
    const __m256i chroma = _mm256_add_epi16(
        _mm256_add_epi16(_mm256_mulhi_epi16(differences, gains),
                         _mm256_srli_epi16(_mm256_mullo_epi16(differences, gains), 15)),
        _mm256_set1_epi16(128));

    // Quarters hold the groups of pixels 0-3, 8-11, 4-7, 12-15.
    __m256i groups;
    if constexpr (order == PackedYuvOrder::kYuy2) {
        groups = _mm256_packus_epi16(_mm256_unpacklo_epi16(luma, chroma),
                                     _mm256_unpackhi_epi16(luma, chroma));
    } else {
        groups = _mm256_packus_epi16(_mm256_unpacklo_epi16(chroma, luma),
                                     _mm256_unpackhi_epi16(chroma, luma));
    }
    return _mm256_permute4x64_epi64(groups, _MM_SHUFFLE(3, 1, 2, 0));
}

template <PackedYuvOrder order>
VX_AVX2 void ConvertRowAvx2(const uint8_t* source, uint8_t* destination, int32_t width) {
    int32_t x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + 4 * x));
        const __m256i high =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + 4 * x + 32));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + 2 * x),
                            PackSixteen<order>(low, high));
    }
    ConvertPixels<order>(source, destination, x, width);
}

} // namespace

void RgbToYuy2Avx2(uint32_t rows, int32_t width, const void* source, void* destination,
                   int32_t sourcePitch, int32_t destinationPitch) {
    ConvertRows(rows, width, source, destination, sourcePitch, destinationPitch,
                ConvertRowAvx2<PackedYuvOrder::kYuy2>);
}

void RgbToUyvyAvx2(uint32_t rows, int32_t width, const void* source, void* destination,
                   int32_t sourcePitch, int32_t destinationPitch) {
    ConvertRows(rows, width, source, destination, sourcePitch, destinationPitch,
                ConvertRowAvx2<PackedYuvOrder::kUyvy>);
}
