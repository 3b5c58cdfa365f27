// Decoding of Windows bitmaps into A8R8G8B8 pixels, for the texture loader. No Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "argb_image.h"

namespace d3dx {

// Decodes `size` bytes at `data`: a packed bitmap as stored in a bitmap resource (information
// header, colour table, pixels) or a .bmp file (the 14-byte file header starting with "BM" in
// front of those). Accepted: an information header of 40 bytes or one of its longer successors,
// one plane, no compression (BI_RGB), 1, 4 or 8 bits per pixel with a colour table, 24 or 32 bits
// per pixel; rows stored bottom-up (positive height) or top-down (negative height). Every pixel
// comes out opaque: the fourth byte of a 32-bit pixel and of a colour-table entry is unused in
// such bitmaps. A palette index past the end of the colour table reads as opaque black.
// Returns false for any other bitmap and for data that ends before the header, colour table or
// pixels it announces; nothing is read outside the `size` bytes.
bool DecodeBitmap(const uint8_t* data, size_t size, ArgbImage* image);

// Replaces every pixel equal to `key` (a full A8R8G8B8 value) with transparent black.
void ApplyColourKey(ArgbImage& image, uint32_t key);

} // namespace d3dx
