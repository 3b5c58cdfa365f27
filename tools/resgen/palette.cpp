#include "palette.h"

#include <cstddef>

const std::vector<Rgb>& SixteenColours() {
    static const std::vector<Rgb> colours = {
        {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
        {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
        {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
        {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
    };
    return colours;
}

const std::vector<Rgb>& TwoHundredFiftySixColours() {
    static const std::vector<Rgb> colours = [] {
        std::vector<Rgb> table = SixteenColours();
        for (int r = 0; r < 6; ++r) {
            for (int g = 0; g < 6; ++g) {
                for (int b = 0; b < 6; ++b) {
                    table.push_back({static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                     static_cast<uint8_t>(b * 51)});
                }
            }
        }
        for (int i = 0; i < 24; ++i) {
            const uint8_t level = static_cast<uint8_t>(8 + i * 10);
            table.push_back({level, level, level});
        }
        return table;
    }();
    return colours;
}

uint8_t NearestIndex(const std::vector<Rgb>& palette, double r, double g, double b) {
    size_t best = 0;
    double bestDistance = 1e300;
    for (size_t i = 0; i < palette.size(); ++i) {
        const double dr = palette[i].r - r * 255.0;
        const double dg = palette[i].g - g * 255.0;
        const double db = palette[i].b - b * 255.0;
        const double distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<uint8_t>(best);
}
