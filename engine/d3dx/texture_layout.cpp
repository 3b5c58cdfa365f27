#include "texture_layout.h"

#include <algorithm>

namespace d3dx {

namespace {

uint32_t RequestedSize(uint32_t requested, uint32_t image) {
    if (requested == 0 || requested == kDefault) {
        return NextPowerOfTwo(image);
    }
    if (requested == kDefaultNonPow2 || requested == kFromFile) {
        return image;
    }
    return requested;
}

uint32_t PowerOfTwoAtMost(uint32_t value) {
    uint32_t power = 1;
    while (power <= value / 2) {
        power *= 2;
    }
    return power;
}

uint32_t Fitted(uint32_t size, uint32_t maximum, bool powerOfTwo) {
    if (powerOfTwo) {
        size = NextPowerOfTwo(size);
    }
    if (maximum != 0 && size > maximum) {
        size = powerOfTwo ? PowerOfTwoAtMost(maximum) : maximum;
    }
    return size;
}

uint32_t FullChain(uint32_t width, uint32_t height) {
    uint32_t levels = 1;
    for (uint32_t side = std::max(width, height); side > 1; side /= 2) {
        ++levels;
    }
    return levels;
}

} // namespace

uint32_t NextPowerOfTwo(uint32_t value) {
    uint32_t power = 1;
    while (power < value && power < 0x80000000u) {
        power *= 2;
    }
    return power;
}

bool ParseFilter(uint32_t flags, Filter fallback, Filter* filter) {
    if (flags == kDefault) {
        *filter = fallback;
        return true;
    }
    switch (flags & 0xFF) {
    case 1:
        *filter = Filter::None;
        return true;
    case 2:
        *filter = Filter::Point;
        return true;
    case 3:
    case 4:
    case 5:
        *filter = Filter::Area;
        return true;
    default:
        return false;
    }
}

TextureLayout ChooseTextureLayout(uint32_t imageWidth, uint32_t imageHeight, uint32_t width,
                                  uint32_t height, uint32_t levels, const TextureLimits& limits) {
    TextureLayout layout{RequestedSize(width, imageWidth), RequestedSize(height, imageHeight),
                         levels};
    if (levels == kFromFile) {
        layout.levels = 1;
    }
    const bool powerOfTwo =
        limits.powerOfTwo && !(limits.nonPowerOfTwoSingleLevel && layout.levels == 1);
    if (limits.squareOnly) {
        layout.width = layout.height = std::max(layout.width, layout.height);
    }
    layout.width = Fitted(layout.width, limits.maxWidth, powerOfTwo);
    layout.height = Fitted(layout.height, limits.maxHeight, powerOfTwo);
    const uint32_t full = FullChain(layout.width, layout.height);
    if (layout.levels == 0 || layout.levels == kDefault || layout.levels > full) {
        layout.levels = full;
    }
    return layout;
}

} // namespace d3dx
