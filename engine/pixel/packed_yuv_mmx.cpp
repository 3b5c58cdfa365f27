// The multimedia-register form: one pixel pair (one 64-bit value) per step, weighted sums by
// multiply-add, 32 bits stored per pair, and the multimedia state cleared before returning.
#include "packed_yuv_rows.h"

#include <mmintrin.h>

namespace {

template <PackedYuvOrder order>
__attribute__((target("mmx"))) void ConvertRowMmx(const uint8_t* source, uint8_t* destination,
                                                  int32_t width) {
    const __m64 zero = _mm_setzero_si64();
    const __m64 colourBytes = _mm_set1_pi32(0x00FFFFFF);
    // Lanes blue, green, red, alpha.
    const __m64 lumaWeights = _mm_setr_pi16(kBlueWeight, kGreenWeight, kRedWeight, 0);
    const __m64 lumaOffset = _mm_set1_pi32(kLumaOffset);
    const __m64 blueAndRedLanes = _mm_set1_pi32(0xFFFF);
    const __m64 differenceWeights = _mm_set1_pi32(WordPair(1 << 14, -kLumaScale));
    const __m64 chromaGains = _mm_set1_pi32(WordPair(kBlueGain, kRedGain));
    const __m64 chromaMiddle = _mm_set1_pi16(128);
    const __m64 lumaBias = _mm_set1_pi32(32);

    int32_t x = 0;
    for (; x + 1 < width; x += 2) {
        __m64 pair;
        std::memcpy(&pair, source + 4 * x, sizeof pair);
        pair = _mm_and_si64(pair, colourBytes);
        const __m64 first = _mm_unpacklo_pi8(pair, zero);
        const __m64 second = _mm_unpackhi_pi8(pair, zero);

        // Per pixel: (blue, green) and (red, alpha) weighted, then the two halves added.
        const __m64 sums0 = _mm_madd_pi16(first, lumaWeights);
        const __m64 sums1 = _mm_madd_pi16(second, lumaWeights);
        const __m64 weighted =
            _mm_add_pi32(_mm_unpacklo_pi32(sums0, sums1), _mm_unpackhi_pi32(sums0, sums1));
        const __m64 luma = _mm_srai_pi32(_mm_add_pi32(weighted, lumaOffset), 15); // Y0, Y1

        // Twice the pair's luma above 16, beside each of the blue and red sums.
        const __m64 twiceLuma = _mm_sub_pi32(_mm_add_pi32(luma, _mm_srli_si64(luma, 32)), lumaBias);
        const __m64 twiceLumaInOddLanes =
            _mm_slli_pi32(_mm_unpacklo_pi32(twiceLuma, twiceLuma), 16);
        const __m64 colourSums = _mm_and_si64(_mm_add_pi16(first, second), blueAndRedLanes);
        const __m64 differences = _mm_srai_pi32(
            _mm_madd_pi16(_mm_or_si64(colourSums, twiceLumaInOddLanes), differenceWeights), 9);

        // U and V: the high half of gain x difference, rounded by the top bit of the low half.
        const __m64 differenceWords = _mm_packs_pi32(differences, differences);
        const __m64 chroma = _mm_add_pi16(
            _mm_add_pi16(_mm_mulhi_pi16(differenceWords, chromaGains),
                         _mm_srli_pi16(_mm_mullo_pi16(differenceWords, chromaGains), 15)),
            chromaMiddle);

        const __m64 lumaWords = _mm_packs_pi32(luma, luma);
        const __m64 group = order == PackedYuvOrder::kYuy2 ? _mm_unpacklo_pi16(lumaWords, chroma)
                                                           : _mm_unpacklo_pi16(chroma, lumaWords);
        const int32_t bytes = _mm_cvtsi64_si32(_mm_packs_pu16(group, group));
        std::memcpy(destination + 2 * x, &bytes, sizeof bytes);
    }
    _mm_empty();
    ConvertPixels<order>(source, destination, x, width);
}

} // namespace

void RgbToYuy2Mmx(uint32_t rows, int32_t width, const void* source, void* destination,
                  int32_t sourcePitch, int32_t destinationPitch) {
    ConvertRows(rows, width, source, destination, sourcePitch, destinationPitch,
                ConvertRowMmx<PackedYuvOrder::kYuy2>);
}

void RgbToUyvyMmx(uint32_t rows, int32_t width, const void* source, void* destination,
                  int32_t sourcePitch, int32_t destinationPitch) {
    ConvertRows(rows, width, source, destination, sourcePitch, destinationPitch,
                ConvertRowMmx<PackedYuvOrder::kUyvy>);
}
