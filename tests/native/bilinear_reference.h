// The reference for smooth scaling: every channel of a texture stretched over the target with
// clamped addressing and bilinear sampling, in double precision and rounded. No Windows headers.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// `source` has rows of `pitch` pixels; the result has rows of `width` pixels.
inline std::vector<uint32_t> BilinearReference(const uint32_t* source, int pitch, int sourceWidth,
                                               int sourceHeight, int width, int height) {
    // Target pixel t samples the source at (t + 1/2) x source / target - 1/2, clamped.
    const auto at = [](int t, int source, int target) {
        return std::clamp((t + 0.5) * source / target - 0.5, 0.0, source - 1.0);
    };
    std::vector<uint32_t> target(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const double v = at(y, sourceHeight, height);
        const int top = static_cast<int>(v);
        const int rows[2] = {top * pitch, std::min(top + 1, sourceHeight - 1) * pitch};
        for (int x = 0; x < width; ++x) {
            const double u = at(x, sourceWidth, width);
            const int left = static_cast<int>(u);
            const int columns[2] = {left, std::min(left + 1, sourceWidth - 1)};
            for (int shift = 0; shift < 32; shift += 8) {
                const auto c = [&](int r, int k) {
                    return static_cast<double>((source[rows[r] + columns[k]] >> shift) & 0xFF);
                };
                const double upper = c(0, 0) + (c(0, 1) - c(0, 0)) * (u - left);
                const double lower = c(1, 0) + (c(1, 1) - c(1, 0)) * (u - left);
                target[static_cast<size_t>(y) * width + x] |=
                    static_cast<uint32_t>(std::lround(upper + (lower - upper) * (v - top)))
                    << shift;
            }
        }
    }
    return target;
}

// The largest difference of any channel of two pixels.
inline int ChannelDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                         static_cast<int>((b >> shift) & 0xFF)));
    }
    return worst;
}
