#include "bitmap_decoding.h"

namespace d3dx {

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kOpaque = 0xFF000000u;

uint32_t ReadU16(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint32_t OpaqueFromBgr(const uint8_t* p) {
    return kOpaque | (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) |
           p[0];
}

bool KnownInfoHeaderSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

// What the header announces, checked against the bytes that hold it.
struct Layout {
    uint32_t width;
    uint32_t height;
    bool bottomUp;
    uint32_t bitsPerPixel;
    uint64_t paletteOffset; // from the start of the data
    uint32_t paletteEntries;
    uint64_t pixelOffset;
    uint64_t rowBytes;
};

bool ReadLayout(const uint8_t* data, size_t size, Layout* layout) {
    uint64_t header = 0;
    uint64_t filePixelOffset = 0;
    const bool file = size >= 2 && data[0] == 'B' && data[1] == 'M';
    if (file) {
        if (size < kFileHeaderBytes) {
            return false;
        }
        header = kFileHeaderBytes;
        filePixelOffset = ReadU32(data + 10);
    }
    if (size < header + 40) {
        return false;
    }
    const uint8_t* info = data + header;
    const uint32_t infoSize = ReadU32(info);
    const int32_t width = static_cast<int32_t>(ReadU32(info + 4));
    const int32_t height = static_cast<int32_t>(ReadU32(info + 8));
    const uint32_t planes = ReadU16(info + 12);
    const uint32_t bits = ReadU16(info + 14);
    const uint32_t compression = ReadU32(info + 16);
    const uint32_t coloursUsed = ReadU32(info + 32);
    if (!KnownInfoHeaderSize(infoSize) || header + infoSize > size || planes != 1 ||
        compression != kCompressionNone || width <= 0 || height == 0 || height == INT32_MIN) {
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        return false;
    }
    uint32_t entries = coloursUsed;
    if (bits <= 8) {
        const uint32_t most = 1u << bits;
        if (entries > most) {
            return false;
        }
        if (entries == 0) {
            entries = most;
        }
    }
    layout->width = static_cast<uint32_t>(width);
    layout->height = static_cast<uint32_t>(height < 0 ? -static_cast<int64_t>(height) : height);
    layout->bottomUp = height > 0;
    layout->bitsPerPixel = bits;
    layout->paletteOffset = header + infoSize;
    layout->paletteEntries = bits <= 8 ? entries : 0;
    layout->rowBytes = (static_cast<uint64_t>(layout->width) * bits + 31) / 32 * 4;
    // A colour table before 24- and 32-bit pixels is optional and only skipped.
    const uint64_t tableEnd = layout->paletteOffset + static_cast<uint64_t>(entries) * 4;
    if (tableEnd > size) {
        return false;
    }
    layout->pixelOffset = file ? filePixelOffset : tableEnd;
    if (file && layout->pixelOffset < tableEnd) {
        return false;
    }
    return layout->pixelOffset + layout->rowBytes * layout->height <= size;
}

} // namespace

bool DecodeBitmap(const uint8_t* data, size_t size, ArgbImage* image) {
    Layout layout;
    if (data == nullptr || !ReadLayout(data, size, &layout)) {
        return false;
    }
    std::vector<uint32_t> palette(layout.paletteEntries);
    for (uint32_t i = 0; i < layout.paletteEntries; ++i) {
        palette[i] = OpaqueFromBgr(data + layout.paletteOffset + i * 4);
    }
    image->width = layout.width;
    image->height = layout.height;
    image->pixels.assign(static_cast<size_t>(layout.width) * layout.height, 0);
    const uint32_t bits = layout.bitsPerPixel;
    for (uint32_t y = 0; y < layout.height; ++y) {
        const uint32_t stored = layout.bottomUp ? layout.height - 1 - y : y;
        const uint8_t* row = data + layout.pixelOffset + layout.rowBytes * stored;
        uint32_t* out = image->pixels.data() + static_cast<size_t>(y) * layout.width;
        for (uint32_t x = 0; x < layout.width; ++x) {
            if (bits == 24 || bits == 32) {
                out[x] = OpaqueFromBgr(row + static_cast<size_t>(x) * (bits / 8));
                continue;
            }
            const uint32_t perByte = 8 / bits;
            const uint32_t shift = 8 - bits * (x % perByte + 1);
            const uint32_t index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
            out[x] = index < palette.size() ? palette[index] : kOpaque;
        }
    }
    return true;
}

void ApplyColourKey(ArgbImage& image, uint32_t key) {
    for (uint32_t& pixel : image.pixels) {
        if (pixel == key) {
            pixel = 0;
        }
    }
}

} // namespace d3dx
