// Binary rasters for hard-edged pictures (cursors): a pixel is on or off. No Windows headers.
#pragma once

#include <cstdint>
#include <vector>

#include "shapes.h"

struct Mask {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> on; // row-major, top row first; 1 = on

    // Pixels outside the raster are off.
    bool At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && on[y * width + x] != 0;
    }
};

// The pixels whose centres lie inside `shape`.
Mask Rasterise(const Shape& shape, int width, int height);
// The pixels that are on together with every pixel within `radius` of them.
Mask Eroded(const Mask& mask, double radius);
Mask Combined(const Mask& a, const Mask& b);
Mask Without(const Mask& kept, const Mask& removed);
