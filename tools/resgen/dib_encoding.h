// Device-independent bitmaps as Windows keeps them in .bmp files, bitmap resources and icons: a
// 40-byte information header, the colour table, then the pixel rows from the bottom row up, each
// padded to a multiple of 4 bytes. No Windows headers.
#pragma once

#include <cstdint>
#include <vector>

#include "palette.h"

// A palettised picture; `indices` holds one palette index per pixel, top row first.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> indices;
};

constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kFileHeaderBytes = 14;

// Bytes of one stored row of `width` pixels at `bitsPerPixel`, padding included.
uint32_t RowBytes(int width, int bitsPerPixel);

// The information header: BI_RGB, one plane, `colours` entries in the colour table.
// `height` is written as given (icons declare twice the picture height).
void AppendInfoHeader(std::vector<uint8_t>& out, int width, int height, int bitsPerPixel,
                      uint32_t colours, uint32_t imageBytes);
// The colour table: blue, green, red, 0 per entry.
void AppendColourTable(std::vector<uint8_t>& out, const std::vector<Rgb>& palette);
// The pixel rows of a picture at 1, 4 or 8 bits per pixel.
void AppendIndexedRows(std::vector<uint8_t>& out, const IndexedPicture& picture, int bitsPerPixel);

// A complete .bmp file of a palettised picture at 4 or 8 bits per pixel.
std::vector<uint8_t> IndexedBmpFile(const IndexedPicture& picture, int bitsPerPixel);
// A complete .bmp file at 32 bits per pixel; `bgra` holds blue, green, red, alpha per pixel,
// top row first, and is stored as it is.
std::vector<uint8_t> BgraBmpFile(int width, int height, const std::vector<uint8_t>& bgra);
