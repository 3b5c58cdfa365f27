// The portable lens pixel routines: one value at a time.
#include "lens_pixels_rows.h"

void GainRowScalar(uint32_t* pixels, int32_t width, uint32_t gain) {
    for (int32_t x = 0; x < width; ++x) {
        const uint32_t pixel = pixels[x];
        uint32_t result = pixel & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            result |= GainedChannel((pixel >> shift) & 0xFF, gain) << shift;
        }
        pixels[x] = result;
    }
}

void OpaqueRowScalar(const uint32_t* source, uint32_t* target, int32_t width) {
    for (int32_t x = 0; x < width; ++x) {
        target[x] = source[x] | 0xFF000000u;
    }
}

void AcrossRowScalar(const uint32_t* source, const AxisStep* steps, int32_t width, int16_t* out) {
    for (int32_t x = 0; x < width; ++x) {
        const uint32_t first = source[steps[x].first];
        const uint32_t second = source[steps[x].first + 1];
        for (int c = 0; c < 4; ++c) {
            out[4 * x + c] = AcrossValue((first >> (8 * c)) & 0xFF, (second >> (8 * c)) & 0xFF,
                                         steps[x].weights);
        }
    }
}

void DownRowScalar(const int16_t* upper, const int16_t* lower, const int16_t* weights,
                   int32_t width, uint32_t* out) {
    for (int32_t x = 0; x < width; ++x) {
        uint32_t pixel = 0;
        for (int c = 0; c < 4; ++c) {
            pixel |= DownValue(upper[4 * x + c], lower[4 * x + c], weights) << (8 * c);
        }
        out[x] = pixel;
    }
}
