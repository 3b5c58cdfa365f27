// The portable routine: plain integer arithmetic, one pair at a time.
#include "packed_yuv_rows.h"

namespace {

template <PackedYuvOrder order>
void ConvertRowScalar(const uint8_t* source, uint8_t* destination, int32_t width) {
    ConvertPixels<order>(source, destination, 0, width);
}

} // namespace

void RgbToYuy2Scalar(uint32_t rows, int32_t width, const void* source, void* destination,
                     int32_t sourcePitch, int32_t destinationPitch) {
    ConvertRows(rows, width, source, destination, sourcePitch, destinationPitch,
                ConvertRowScalar<PackedYuvOrder::kYuy2>);
}

void RgbToUyvyScalar(uint32_t rows, int32_t width, const void* source, void* destination,
                     int32_t sourcePitch, int32_t destinationPitch) {
    ConvertRows(rows, width, source, destination, sourcePitch, destinationPitch,
                ConvertRowScalar<PackedYuvOrder::kUyvy>);
}
