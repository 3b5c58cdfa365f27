// Colour rasters with soft edges and per-pixel alpha, for icons and the splash picture. Figures
// are painted with the coverage of their pixels measured on a grid of samples, and composited
// with the "over" rule. No Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "shapes.h"

// A colour with straight (not premultiplied) alpha, every channel from 0 to 1.
struct Colour {
    double r;
    double g;
    double b;
    double a;
};

// A colour chosen per point, for gradients.
using Paint = std::function<Colour(double x, double y)>;

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels; // premultiplied, row-major, top row first; starts transparent

    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}
};

// Samples per pixel side used to measure coverage (4 x 4 = 16 samples).
constexpr int kCoverageSamples = 4;

// The share of pixel (x, y) that `shape` covers, from 0 to 1.
double Coverage(const Shape& shape, int x, int y);
// Composites `paint` over the canvas wherever `shape` covers it, weighted by the coverage.
void Fill(Canvas& canvas, const Shape& shape, const Paint& paint);
void Fill(Canvas& canvas, const Shape& shape, Colour colour);
// The colour from `top` at y = y0 to `bottom` at y = y1, constant beyond.
Paint VerticalGradient(Colour top, Colour bottom, double y0, double y1);

// The canvas as 8-bit blue, green, red, alpha per pixel, premultiplied (no channel above alpha).
std::vector<uint8_t> PremultipliedBgra(const Canvas& canvas);
// Pixel (x, y) with straight alpha.
Colour StraightColour(const Canvas& canvas, int x, int y);
