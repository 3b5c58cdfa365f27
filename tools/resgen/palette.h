// Fixed colour tables of the palettised pictures and the nearest-colour match. No Windows
// headers.
#pragma once

#include <cstdint>
#include <vector>

struct Rgb {
    uint8_t r;
    uint8_t g;
    uint8_t b;
};

// The sixteen colours of the classic 16-colour display, in their customary order.
const std::vector<Rgb>& SixteenColours();
// 256 colours: the sixteen above, a 6 x 6 x 6 colour cube and 24 greys.
const std::vector<Rgb>& TwoHundredFiftySixColours();

// Index of the entry closest to (r, g, b), each channel from 0 to 1, by squared distance; the
// first of equals wins.
uint8_t NearestIndex(const std::vector<Rgb>& palette, double r, double g, double b);

// Well-known entries of SixteenColours().
constexpr uint8_t kBlackIndex = 0;
constexpr uint8_t kBlueIndex = 12; // pure blue, 0x0000FF
constexpr uint8_t kWhiteIndex = 15;
