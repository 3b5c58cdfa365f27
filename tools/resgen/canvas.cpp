#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace {

uint8_t ToByte(double value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

} // namespace

double Coverage(const Shape& shape, int x, int y) {
    int covered = 0;
    for (int sy = 0; sy < kCoverageSamples; ++sy) {
        for (int sx = 0; sx < kCoverageSamples; ++sx) {
            const double px = x - 0.5 + (sx + 0.5) / kCoverageSamples;
            const double py = y - 0.5 + (sy + 0.5) / kCoverageSamples;
            covered += shape(px, py) ? 1 : 0;
        }
    }
    return static_cast<double>(covered) / (kCoverageSamples * kCoverageSamples);
}

void Fill(Canvas& canvas, const Shape& shape, const Paint& paint) {
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const double coverage = Coverage(shape, x, y);
            if (coverage <= 0.0) {
                continue;
            }
            const Colour source = paint(x, y);
            const double alpha = source.a * coverage;
            Colour& target = canvas.pixels[y * canvas.width + x];
            target.r = source.r * alpha + target.r * (1.0 - alpha);
            target.g = source.g * alpha + target.g * (1.0 - alpha);
            target.b = source.b * alpha + target.b * (1.0 - alpha);
            target.a = alpha + target.a * (1.0 - alpha);
        }
    }
}

void Fill(Canvas& canvas, const Shape& shape, Colour colour) {
    Fill(canvas, shape, [colour](double, double) { return colour; });
}

Paint VerticalGradient(Colour top, Colour bottom, double y0, double y1) {
    return [=](double, double y) {
        const double t = std::clamp((y - y0) / (y1 - y0), 0.0, 1.0);
        return Colour{top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t,
                      top.b + (bottom.b - top.b) * t, top.a + (bottom.a - top.a) * t};
    };
}

std::vector<uint8_t> PremultipliedBgra(const Canvas& canvas) {
    std::vector<uint8_t> bytes;
    bytes.reserve(canvas.pixels.size() * 4);
    for (const Colour& pixel : canvas.pixels) {
        const uint8_t alpha = ToByte(pixel.a);
        bytes.push_back(std::min(ToByte(pixel.b), alpha));
        bytes.push_back(std::min(ToByte(pixel.g), alpha));
        bytes.push_back(std::min(ToByte(pixel.r), alpha));
        bytes.push_back(alpha);
    }
    return bytes;
}

Colour StraightColour(const Canvas& canvas, int x, int y) {
    const Colour& pixel = canvas.pixels[y * canvas.width + x];
    if (pixel.a <= 0.0) {
        return {0.0, 0.0, 0.0, 0.0};
    }
    return {pixel.r / pixel.a, pixel.g / pixel.a, pixel.b / pixel.a, pixel.a};
}
