// What every packed-YUV routine shares: the fixed-point constants, the exact conversion of one
// pixel pair, the walk over rows and the routines of each instruction set. No Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Studio-range BT.601 in fixed point. Luma weights at scale 2^15.
constexpr int32_t kBlueWeight = 3208;
constexpr int32_t kGreenWeight = 16519;
constexpr int32_t kRedWeight = 8414;
// 16 x 2^15 plus half for rounding.
constexpr int32_t kLumaOffset = 540672;
// 255/219 x 2^14: turns twice (mean Y - 16) into the pair's full-range luma at scale 2^15.
constexpr int32_t kLumaScale = 19077;
// Chroma gains at scale 2^16, and 128 x 2^16 plus half for rounding.
constexpr int32_t kBlueGain = 507;
constexpr int32_t kRedGain = 642;
constexpr int32_t kChromaOffset = 8421376;

// Two 16-bit lanes as one 32-bit value, `low` in the lower half: the weights of a multiply-add.
constexpr int32_t WordPair(int32_t low, int32_t high) {
    return static_cast<int32_t>((static_cast<uint32_t>(high) << 16) |
                                (static_cast<uint32_t>(low) & 0xFFFF));
}

// The vector forms compute the differences of ConvertPair as 32 x (the pair's blue or red sum) - C
// with C = ceil(kLumaScale x twiceLuma / 512), one C for both: the same values, since sum << 14 is
// a multiple of 512. From the pair's luma sum Y0 + Y1 = twiceLuma + 32,
// C = (kLumaScale x (Y0 + Y1) + kPairCorrectionOffset) >> 9.
constexpr int32_t kPairCorrectionOffset = 511 - 32 * kLumaScale;

enum class PackedYuvOrder { kYuy2, kUyvy };

struct PackedPair {
    uint8_t y0;
    uint8_t u;
    uint8_t y1;
    uint8_t v;
};

inline uint32_t LoadPixel(const uint8_t* at) {
    uint32_t pixel;
    std::memcpy(&pixel, at, sizeof pixel);
    return pixel;
}

inline int32_t BlueOf(uint32_t pixel) {
    return static_cast<int32_t>(pixel & 0xFF);
}
inline int32_t GreenOf(uint32_t pixel) {
    return static_cast<int32_t>((pixel >> 8) & 0xFF);
}
inline int32_t RedOf(uint32_t pixel) {
    return static_cast<int32_t>((pixel >> 16) & 0xFF);
}

inline int32_t LumaOf(uint32_t pixel) {
    return (kBlueWeight * BlueOf(pixel) + kGreenWeight * GreenOf(pixel) +
            kRedWeight * RedOf(pixel) + kLumaOffset) >>
           15;
}

// Each pixel keeps its own Y; U and V come from the pair's mean colour. The alpha bytes play no
// part. twiceLuma is twice the pair's mean Y above 16; the differences are 64 x (the mean blue or
// red - the pair's full-range luma). No value needs clamping: Y stays within 16..235, the
// differences within 16 bits, U and V within 16..240.
inline PackedPair ConvertPair(uint32_t first, uint32_t second) {
    const int32_t y0 = LumaOf(first);
    const int32_t y1 = LumaOf(second);
    const int32_t twiceLuma = y0 + y1 - 32;
    const int32_t blueDifference =
        (((BlueOf(first) + BlueOf(second)) << 14) - kLumaScale * twiceLuma) >> 9;
    const int32_t redDifference =
        (((RedOf(first) + RedOf(second)) << 14) - kLumaScale * twiceLuma) >> 9;
    return {static_cast<uint8_t>(y0),
            static_cast<uint8_t>((kBlueGain * blueDifference + kChromaOffset) >> 16),
            static_cast<uint8_t>(y1),
            static_cast<uint8_t>((kRedGain * redDifference + kChromaOffset) >> 16)};
}

template <PackedYuvOrder order> void StorePair(uint8_t* out, PackedPair pair) {
    if constexpr (order == PackedYuvOrder::kYuy2) {
        out[0] = pair.y0;
        out[1] = pair.u;
        out[2] = pair.y1;
        out[3] = pair.v;
    } else {
        out[0] = pair.u;
        out[1] = pair.y0;
        out[2] = pair.v;
        out[3] = pair.y1;
    }
}

// Converts the pixels from `first` (even) to the end of a row of `width` pixels, pair by pair. A
// last pixel without a partner is paired with itself and only its own half of the group is
// written, so nothing beyond width x 2 bytes of the destination row is touched.
template <PackedYuvOrder order>
void ConvertPixels(const uint8_t* source, uint8_t* destination, int32_t first, int32_t width) {
    int32_t x = first;
    for (; x + 1 < width; x += 2) {
        StorePair<order>(destination + 2 * x,
                         ConvertPair(LoadPixel(source + 4 * x), LoadPixel(source + 4 * x + 4)));
    }
    if (x < width) {
        const uint32_t pixel = LoadPixel(source + 4 * x);
        uint8_t group[4];
        StorePair<order>(group, ConvertPair(pixel, pixel));
        destination[2 * x] = group[0];
        destination[2 * x + 1] = group[1];
    }
}

using RowConversion = void (*)(const uint8_t* source, uint8_t* destination, int32_t width);

// Rows are independent: row r starts at address + r x pitch on both sides; pitches may be
// negative. A width of zero or less converts nothing.
inline void ConvertRows(uint32_t rows, int32_t width, const void* source, void* destination,
                        int32_t sourcePitch, int32_t destinationPitch, RowConversion convertRow) {
    if (width <= 0 || source == nullptr || destination == nullptr) {
        return;
    }
    const auto* sourceRows = static_cast<const uint8_t*>(source);
    auto* destinationRows = static_cast<uint8_t*>(destination);
    for (uint32_t row = 0; row < rows; ++row) {
        convertRow(sourceRows + static_cast<ptrdiff_t>(row) * sourcePitch,
                   destinationRows + static_cast<ptrdiff_t>(row) * destinationPitch, width);
    }
}

// The routines of each instruction set; callers reach them through packed_yuv.h.
#define VX_PACKED_YUV_ROUTINE(name)                                                                \
    void name(uint32_t rows, int32_t width, const void* source, void* destination,                 \
              int32_t sourcePitch, int32_t destinationPitch)
VX_PACKED_YUV_ROUTINE(RgbToYuy2Scalar);
VX_PACKED_YUV_ROUTINE(RgbToUyvyScalar);
VX_PACKED_YUV_ROUTINE(RgbToYuy2Mmx);
VX_PACKED_YUV_ROUTINE(RgbToUyvyMmx);
VX_PACKED_YUV_ROUTINE(RgbToYuy2Sse2);
VX_PACKED_YUV_ROUTINE(RgbToUyvySse2);
VX_PACKED_YUV_ROUTINE(RgbToYuy2Avx2);
VX_PACKED_YUV_ROUTINE(RgbToUyvyAvx2);
VX_PACKED_YUV_ROUTINE(RgbToYuy2Avx512);
VX_PACKED_YUV_ROUTINE(RgbToUyvyAvx512);
#undef VX_PACKED_YUV_ROUTINE
