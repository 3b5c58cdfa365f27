// An image of 32-bit A8R8G8B8 values (alpha in the top byte, then red, green, blue), the pixel
// format of the engine's textures. No Windows headers.
#pragma once

#include <cstdint>
#include <vector>

namespace d3dx {

struct ArgbImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels; // row-major, top row first
};

} // namespace d3dx
