// The reference for smooth scaling: every channel of a texture stretched over the target with
// clamped addressing and bilinear sampling, in double precision and rounded. No Windows headers.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// The source sample position of target pixel t, and its two neighbours and weight.
struct ReferenceTap {
    int first, second;
    double weight; // of second
};

inline ReferenceTap ReferenceTapOf(int t, int source, int target) {
    const double at = std::clamp((t + 0.5) * source / target - 0.5, 0.0, source - 1.0);
    const int first = static_cast<int>(at);
    return ReferenceTap{first, std::min(first + 1, source - 1), at - first};
}

// `source` has rows of `pitch` pixels; the result has rows of `width` pixels.
inline std::vector<uint32_t> BilinearReference(const uint32_t* source, int pitch, int sourceWidth,
                                               int sourceHeight, int width, int height) {
    std::vector<uint32_t> target(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const ReferenceTap v = ReferenceTapOf(y, sourceHeight, height);
        for (int x = 0; x < width; ++x) {
            const ReferenceTap u = ReferenceTapOf(x, sourceWidth, width);
            const uint32_t corners[4] = {
                source[v.first * pitch + u.first], source[v.first * pitch + u.second],
                source[v.second * pitch + u.first], source[v.second * pitch + u.second]};
            uint32_t pixel = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const auto c = [&](int i) { return (corners[i] >> shift) & 0xFF; };
                const double top = c(0) + (c(1) - double(c(0))) * u.weight;
                const double bottom = c(2) + (c(3) - double(c(2))) * u.weight;
                pixel |= static_cast<uint32_t>(std::lround(top + (bottom - top) * v.weight))
                         << shift;
            }
            target[static_cast<size_t>(y) * width + x] = pixel;
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
