// The size, mip levels and filters of a texture made from an image, by the rules of the D3DX 9
// texture loaders. No Windows headers.
#pragma once

#include <cstdint>

namespace d3dx {

// Special values of the size, level and filter arguments (D3DX_DEFAULT and its kin).
constexpr uint32_t kDefault = 0xFFFFFFFFu;        // size: the image's, rounded up to a power of 2
constexpr uint32_t kDefaultNonPow2 = 0xFFFFFFFEu; // size: the image's as it is
constexpr uint32_t kFromFile = 0xFFFFFFFDu;       // size: the image's; levels: the image's (1)

// How an image is brought to another size.
enum class Filter {
    None,  // not scaled: copied to the top-left corner, the rest transparent black
    Point, // each pixel takes the source pixel under its centre
    Area,  // each pixel averages the source area it covers, every source pixel counting alike
};

// Reads a filter argument: kDefault gives `fallback`; the low byte must name a filter
// (1 none, 2 point, 3 linear, 4 triangle, 5 box), the higher flag bits are ignored. Linear,
// triangle and box all average by area. False for anything else.
bool ParseFilter(uint32_t flags, Filter fallback, Filter* filter);

// What the device allows, from its capabilities.
struct TextureLimits {
    uint32_t maxWidth = 0; // 0: no limit known
    uint32_t maxHeight = 0;
    bool powerOfTwo = false;               // sizes must be powers of 2
    bool nonPowerOfTwoSingleLevel = false; // ...except for textures of one level
    bool squareOnly = false;
};

struct TextureLayout {
    uint32_t width;
    uint32_t height;
    uint32_t levels;
};

// The texture for an image of imageWidth x imageHeight (both at least 1) asked for with `width`,
// `height` (0 and kDefault: the image size rounded up to a power of 2; kDefaultNonPow2 and
// kFromFile: the image size) and `levels` (0 and kDefault: the full chain down to 1 x 1;
// kFromFile: 1), then fitted to the device's limits. At most the full chain is asked for.
TextureLayout ChooseTextureLayout(uint32_t imageWidth, uint32_t imageHeight, uint32_t width,
                                  uint32_t height, uint32_t levels, const TextureLimits& limits);

uint32_t NextPowerOfTwo(uint32_t value);

} // namespace d3dx
