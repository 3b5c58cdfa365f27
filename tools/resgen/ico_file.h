// Icon files (.ico): a directory of images, each a palettised bitmap followed by its 1-bit
// transparency mask. No Windows headers.
#pragma once

#include <cstdint>
#include <vector>

#include "dib_encoding.h"

struct IconImage {
    IndexedPicture picture;           // square; transparent pixels hold palette index 0 (black)
    int bitsPerPixel = 4;             // 4 or 8
    std::vector<uint8_t> transparent; // 1 where the screen shows through, top row first
};

std::vector<uint8_t> IcoFile(const std::vector<IconImage>& images);
