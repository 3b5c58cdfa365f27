#include "mask.h"

#include <cmath>
#include <cstddef>

Mask Rasterise(const Shape& shape, int width, int height) {
    Mask mask{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            mask.on[y * width + x] = shape(x, y) ? 1 : 0;
        }
    }
    return mask;
}

Mask Eroded(const Mask& mask, double radius) {
    struct Offset {
        int dx;
        int dy;
    };
    std::vector<Offset> disc;
    const int reach = static_cast<int>(std::ceil(radius));
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            if (dx * dx + dy * dy <= radius * radius) {
                disc.push_back({dx, dy});
            }
        }
    }
    Mask result{mask.width, mask.height, std::vector<uint8_t>(mask.on.size())};
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            bool kept = mask.At(x, y);
            for (size_t i = 0; kept && i < disc.size(); ++i) {
                kept = mask.At(x + disc[i].dx, y + disc[i].dy);
            }
            result.on[y * mask.width + x] = kept ? 1 : 0;
        }
    }
    return result;
}

Mask Combined(const Mask& a, const Mask& b) {
    Mask result = a;
    for (size_t i = 0; i < result.on.size(); ++i) {
        result.on[i] = (a.on[i] | b.on[i]) != 0 ? 1 : 0;
    }
    return result;
}

Mask Without(const Mask& kept, const Mask& removed) {
    Mask result = kept;
    for (size_t i = 0; i < result.on.size(); ++i) {
        result.on[i] = (kept.on[i] != 0 && removed.on[i] == 0) ? 1 : 0;
    }
    return result;
}
