// What the lens pixel routines of every instruction set share: the portable arithmetic of one
// value, which the vector forms repeat exactly, and the row routines of each set. No Windows
// headers.
#pragma once

#include <cstdint>

#include "lens_pixels.h"

// One channel times gain / 2048, rounded half up: the vector form's high half of
// (channel x 64) x gain, then halved with rounding up.
inline uint32_t GainedChannel(uint32_t channel, uint32_t gain) {
    const uint32_t twice = ((channel << 6) * gain) >> 16;
    const uint32_t value = (twice + 1) >> 1;
    return value < 255 ? value : 255;
}

// A channel of two neighbours weighted across, at 128 x its scale.
inline int16_t AcrossValue(uint32_t first, uint32_t second, const int16_t* weights) {
    return static_cast<int16_t>((static_cast<int32_t>(first) * weights[0] +
                                 static_cast<int32_t>(second) * weights[1] + 64) >>
                                7);
}

// A channel of two rows weighted down, back at its own scale.
inline uint32_t DownValue(int16_t upper, int16_t lower, const int16_t* weights) {
    return static_cast<uint32_t>((upper * weights[0] + lower * weights[1] + (1 << 20)) >> 21);
}

void GainRowScalar(uint32_t* pixels, int32_t width, uint32_t gain);
void OpaqueRowScalar(const uint32_t* source, uint32_t* target, int32_t width);
void AcrossRowScalar(const uint32_t* source, const AxisStep* steps, int32_t width, int16_t* out);
void DownRowScalar(const int16_t* upper, const int16_t* lower, const int16_t* weights,
                   int32_t width, uint32_t* out);

void GainRowSse2(uint32_t* pixels, int32_t width, uint32_t gain);
void OpaqueRowSse2(const uint32_t* source, uint32_t* target, int32_t width);
void AcrossRowSse2(const uint32_t* source, const AxisStep* steps, int32_t width, int16_t* out);
void DownRowSse2(const int16_t* upper, const int16_t* lower, const int16_t* weights, int32_t width,
                 uint32_t* out);
