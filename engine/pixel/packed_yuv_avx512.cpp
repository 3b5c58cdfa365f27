// The 512-bit form: thirty-two pixels (sixteen pairs) per step, the arithmetic of the 128-bit
// form in each 128-bit quarter; the quarters' results are put back in pixel order before the
// store. The rest of a row goes through one masked step, which reads and writes nothing beyond
// it.
#include "packed_yuv_rows.h"

// The compiler's AVX-512 intrinsics start from deliberately undefined registers, which its check
// for uninitialised values reports once they are inlined here.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>

namespace {

#define VX_AVX512 __attribute__((target("avx512f,avx512bw")))

// Dwords 0 and 2 of each quarter of a, then of b.
VX_AVX512 inline __m512i EvenDwords(__m512i a, __m512i b) {
    return _mm512_castps_si512(
        _mm512_shuffle_ps(_mm512_castsi512_ps(a), _mm512_castsi512_ps(b), _MM_SHUFFLE(2, 0, 2, 0)));
}

// Dwords 1 and 3 of each quarter of a, then of b.
VX_AVX512 inline __m512i OddDwords(__m512i a, __m512i b) {
    return _mm512_castps_si512(
        _mm512_shuffle_ps(_mm512_castsi512_ps(a), _mm512_castsi512_ps(b), _MM_SHUFFLE(3, 1, 3, 1)));
}

VX_AVX512 inline __m512i LumaOfSixteen(__m512i blueRed, __m512i pixels) {
    const __m512i greenAlpha = _mm512_srli_epi16(pixels, 8);
    const __m512i weighted = _mm512_add_epi32(
        _mm512_madd_epi16(blueRed, _mm512_set1_epi32(WordPair(kBlueWeight, kRedWeight))),
        _mm512_madd_epi16(greenAlpha, _mm512_set1_epi32(kGreenWeight)));
    return _mm512_srai_epi32(_mm512_add_epi32(weighted, _mm512_set1_epi32(kLumaOffset)), 15);
}

// Thirty-two pixels in, sixty-four bytes of sixteen packed groups out.
template <PackedYuvOrder order> VX_AVX512 inline __m512i PackThirtyTwo(__m512i low, __m512i high) {
    const __m512i lowBlueRed = _mm512_and_si512(low, _mm512_set1_epi32(0x00FF00FF));
    const __m512i highBlueRed = _mm512_and_si512(high, _mm512_set1_epi32(0x00FF00FF));
    // Per quarter: Y of pixels 0-3 of low, then of high.
    const __m512i luma =
        _mm512_packs_epi32(LumaOfSixteen(lowBlueRed, low), LumaOfSixteen(highBlueRed, high));

    const __m512i colourSums =
        _mm512_add_epi32(EvenDwords(lowBlueRed, highBlueRed), OddDwords(lowBlueRed, highBlueRed));
    const __m512i pairLuma = _mm512_madd_epi16(luma, _mm512_set1_epi16(1));
    const __m512i correction = _mm512_srai_epi32(
        _mm512_add_epi32(_mm512_madd_epi16(pairLuma, _mm512_set1_epi32(kLumaScale)),
                         _mm512_set1_epi32(kPairCorrectionOffset)),
        9);
    const __m512i lowWordTwice =
        _mm512_broadcast_i32x4(_mm_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13));
    // DB, DR of each pair.
    const __m512i differences = _mm512_sub_epi16(_mm512_slli_epi16(colourSums, 5),
                                                 _mm512_shuffle_epi8(correction, lowWordTwice));

    const __m512i gains = _mm512_set1_epi32(WordPair(kBlueGain, kRedGain));
    const __m512i chroma = _mm512_add_epi16(
        _mm512_add_epi16(_mm512_mulhi_epi16(differences, gains),
                         _mm512_srli_epi16(_mm512_mullo_epi16(differences, gains), 15)),
        _mm512_set1_epi16(128));

    // Eighths hold the groups of pixels 0-3, 16-19, 4-7, 20-23, 8-11, 24-27, 12-15, 28-31.
    __m512i groups;
    if constexpr (order == PackedYuvOrder::kYuy2) {
        groups = _mm512_packus_epi16(_mm512_unpacklo_epi16(luma, chroma),
                                     _mm512_unpackhi_epi16(luma, chroma));
    } else {
        groups = _mm512_packus_epi16(_mm512_unpacklo_epi16(chroma, luma),
                                     _mm512_unpackhi_epi16(chroma, luma));
    }
    return _mm512_permutexvar_epi64(_mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7), groups);
}

template <PackedYuvOrder order>
VX_AVX512 void ConvertRowAvx512(const uint8_t* source, uint8_t* destination, int32_t width) {
    const int32_t paired = width & ~1;
    int32_t x = 0;
    for (; x + 32 <= paired; x += 32) {
        const __m512i low = _mm512_loadu_si512(source + 4 * x);
        const __m512i high = _mm512_loadu_si512(source + 4 * x + 64);
        _mm512_storeu_si512(destination + 2 * x, PackThirtyTwo<order>(low, high));
    }
    if (x < paired) {
        // Fewer than 32 paired pixels: one mask bit per pixel to load, one per byte to store.
        const uint32_t pixels = static_cast<uint32_t>(paired - x);
        const uint32_t pixelBits = (1u << pixels) - 1;
        const __m512i low =
            _mm512_maskz_loadu_epi32(static_cast<__mmask16>(pixelBits), source + 4 * x);
        const __m512i high =
            _mm512_maskz_loadu_epi32(static_cast<__mmask16>(pixelBits >> 16), source + 4 * x + 64);
        const uint64_t byteBits = (uint64_t(1) << (2 * pixels)) - 1;
        _mm512_mask_storeu_epi8(destination + 2 * x, byteBits, PackThirtyTwo<order>(low, high));
    }
    ConvertPixels<order>(source, destination, paired, width);
}

} // namespace

void RgbToYuy2Avx512(uint32_t rows, int32_t width, const void* source, void* destination,
                     int32_t sourcePitch, int32_t destinationPitch) {
    ConvertRows(rows, width, source, destination, sourcePitch, destinationPitch,
                ConvertRowAvx512<PackedYuvOrder::kYuy2>);
}

void RgbToUyvyAvx512(uint32_t rows, int32_t width, const void* source, void* destination,
                     int32_t sourcePitch, int32_t destinationPitch) {
    ConvertRows(rows, width, source, destination, sourcePitch, destinationPitch,
                ConvertRowAvx512<PackedYuvOrder::kUyvy>);
}
