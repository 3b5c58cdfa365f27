#include "dib_encoding.h"

#include <cstddef>

#include "byte_writer.h"

namespace {

// Puts the 14-byte file header in front of a packed bitmap whose pixels start at `pixelOffset`
// within it.
std::vector<uint8_t> WithFileHeader(const std::vector<uint8_t>& dib, uint32_t pixelOffset) {
    std::vector<uint8_t> file;
    AppendText(file, "BM");
    AppendU32(file, static_cast<uint32_t>(kFileHeaderBytes + dib.size()));
    AppendU32(file, 0);
    AppendU32(file, kFileHeaderBytes + pixelOffset);
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

} // namespace

uint32_t RowBytes(int width, int bitsPerPixel) {
    return ((static_cast<uint32_t>(width) * bitsPerPixel + 31) / 32) * 4;
}

void AppendInfoHeader(std::vector<uint8_t>& out, int width, int height, int bitsPerPixel,
                      uint32_t colours, uint32_t imageBytes) {
    AppendU32(out, kInfoHeaderBytes);
    AppendU32(out, static_cast<uint32_t>(width));
    AppendU32(out, static_cast<uint32_t>(height));
    AppendU16(out, 1);
    AppendU16(out, static_cast<uint32_t>(bitsPerPixel));
    AppendU32(out, 0); // BI_RGB
    AppendU32(out, imageBytes);
    AppendU32(out, 2835); // 72 dots per inch, in dots per metre
    AppendU32(out, 2835);
    AppendU32(out, colours);
    AppendU32(out, 0);
}

void AppendColourTable(std::vector<uint8_t>& out, const std::vector<Rgb>& palette) {
    for (const Rgb& entry : palette) {
        out.push_back(entry.b);
        out.push_back(entry.g);
        out.push_back(entry.r);
        out.push_back(0);
    }
}

void AppendIndexedRows(std::vector<uint8_t>& out, const IndexedPicture& picture, int bitsPerPixel) {
    const uint32_t rowBytes = RowBytes(picture.width, bitsPerPixel);
    const int perByte = 8 / bitsPerPixel;
    for (int y = picture.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes);
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t index = picture.indices[y * picture.width + x];
            const int shift = 8 - bitsPerPixel * (x % perByte + 1);
            row[x / perByte] |= static_cast<uint8_t>(index << shift);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

std::vector<uint8_t> IndexedBmpFile(const IndexedPicture& picture, int bitsPerPixel) {
    const uint32_t imageBytes = RowBytes(picture.width, bitsPerPixel) * picture.height;
    std::vector<uint8_t> dib;
    AppendInfoHeader(dib, picture.width, picture.height, bitsPerPixel,
                     static_cast<uint32_t>(picture.palette.size()), imageBytes);
    AppendColourTable(dib, picture.palette);
    const uint32_t pixelOffset = static_cast<uint32_t>(dib.size());
    AppendIndexedRows(dib, picture, bitsPerPixel);
    return WithFileHeader(dib, pixelOffset);
}

std::vector<uint8_t> BgraBmpFile(int width, int height, const std::vector<uint8_t>& bgra) {
    const uint32_t rowBytes = static_cast<uint32_t>(width) * 4;
    std::vector<uint8_t> dib;
    AppendInfoHeader(dib, width, height, 32, 0, rowBytes * height);
    for (int y = height - 1; y >= 0; --y) {
        const auto row = bgra.begin() + static_cast<size_t>(y) * rowBytes;
        dib.insert(dib.end(), row, row + rowBytes);
    }
    return WithFileHeader(dib, kInfoHeaderBytes);
}
