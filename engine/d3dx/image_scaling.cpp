#include "image_scaling.h"

#include <algorithm>
#include <cstddef>

namespace d3dx {

namespace {

// The source pixels one target pixel overlaps along one axis, with the overlap lengths in units
// where a source pixel is `target` long and a target pixel `source` long.
struct Span {
    uint32_t first;
    std::vector<uint64_t> weights;
};

std::vector<Span> AreaSpans(uint32_t source, uint32_t target) {
    std::vector<Span> spans(target);
    for (uint32_t t = 0; t < target; ++t) {
        const uint64_t begin = static_cast<uint64_t>(t) * source;
        const uint64_t end = begin + source;
        const uint32_t first = static_cast<uint32_t>(begin / target);
        spans[t].first = first;
        for (uint64_t s = first; s * target < end; ++s) {
            const uint64_t from = std::max(begin, s * target);
            const uint64_t to = std::min(end, (s + 1) * target);
            spans[t].weights.push_back(to - from);
        }
    }
    return spans;
}

ArgbImage AreaResized(const ArgbImage& source, uint32_t width, uint32_t height) {
    const std::vector<Span> columns = AreaSpans(source.width, width);
    const std::vector<Span> rows = AreaSpans(source.height, height);
    const uint64_t total = static_cast<uint64_t>(source.width) * source.height;
    ArgbImage target{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            uint64_t sums[4] = {};
            for (size_t j = 0; j < rows[y].weights.size(); ++j) {
                const uint32_t* row =
                    source.pixels.data() + static_cast<size_t>(rows[y].first + j) * source.width;
                for (size_t i = 0; i < columns[x].weights.size(); ++i) {
                    const uint64_t weight = rows[y].weights[j] * columns[x].weights[i];
                    const uint32_t pixel = row[columns[x].first + i];
                    for (int c = 0; c < 4; ++c) {
                        sums[c] += ((pixel >> (8 * c)) & 0xFF) * weight;
                    }
                }
            }
            uint32_t value = 0;
            for (int c = 0; c < 4; ++c) {
                value |= static_cast<uint32_t>((sums[c] + total / 2) / total) << (8 * c);
            }
            target.pixels[static_cast<size_t>(y) * width + x] = value;
        }
    }
    return target;
}

ArgbImage PointResized(const ArgbImage& source, uint32_t width, uint32_t height) {
    ArgbImage target{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    for (uint32_t y = 0; y < height; ++y) {
        const uint64_t sy = (2 * static_cast<uint64_t>(y) + 1) * source.height / (2 * height);
        for (uint32_t x = 0; x < width; ++x) {
            const uint64_t sx = (2 * static_cast<uint64_t>(x) + 1) * source.width / (2 * width);
            target.pixels[static_cast<size_t>(y) * width + x] =
                source.pixels[static_cast<size_t>(sy) * source.width + sx];
        }
    }
    return target;
}

ArgbImage Cropped(const ArgbImage& source, uint32_t width, uint32_t height) {
    ArgbImage target{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    for (uint32_t y = 0; y < std::min(height, source.height); ++y) {
        const auto row = source.pixels.begin() + static_cast<size_t>(y) * source.width;
        std::copy(row, row + std::min(width, source.width),
                  target.pixels.begin() + static_cast<size_t>(y) * width);
    }
    return target;
}

} // namespace

ArgbImage Resized(const ArgbImage& source, uint32_t width, uint32_t height, Filter filter) {
    if (width == source.width && height == source.height) {
        return source;
    }
    switch (filter) {
    case Filter::None:
        return Cropped(source, width, height);
    case Filter::Point:
        return PointResized(source, width, height);
    case Filter::Area:
        break;
    }
    return AreaResized(source, width, height);
}

} // namespace d3dx
