// A second program that reads the clipboard's picture as a device-independent bitmap (the form
// the system offers every program for a CF_BITMAP) and writes its size and 32-bit pixels (rows
// top first, 0x00RRGGBB) to the file named on the command line. Exit code 0 when a picture was
// read, 1 otherwise.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// The pixels of a packed 32-bit DIB, rows top first.
bool ReadPackedDib(const uint8_t* dib, size_t size, int* width, int* height,
                   std::vector<uint32_t>* pixels) {
    BITMAPINFOHEADER header;
    if (size < sizeof(header)) {
        return false;
    }
    std::memcpy(&header, dib, sizeof(header));
    if (header.biBitCount != 32 || header.biWidth <= 0 || header.biHeight == 0) {
        return false;
    }
    size_t offset = header.biSize;
    if (header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER)) {
        offset += 3 * sizeof(DWORD);
    }
    *width = header.biWidth;
    *height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const size_t count = static_cast<size_t>(*width) * *height;
    if (offset + count * 4 > size) {
        return false;
    }
    pixels->resize(count);
    for (int row = 0; row < *height; ++row) {
        const int stored = header.biHeight < 0 ? row : *height - 1 - row;
        std::memcpy(&(*pixels)[static_cast<size_t>(row) * *width],
                    dib + offset + static_cast<size_t>(stored) * *width * 4,
                    static_cast<size_t>(*width) * 4);
    }
    for (uint32_t& pixel : *pixels) {
        pixel &= 0x00FFFFFFu;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !OpenClipboard(nullptr)) {
        return 1;
    }
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    bool read = false;
    if (HGLOBAL dib = GetClipboardData(CF_DIB)) {
        if (const void* bytes = GlobalLock(dib)) {
            read = ReadPackedDib(static_cast<const uint8_t*>(bytes), GlobalSize(dib), &width,
                                 &height, &pixels);
            GlobalUnlock(dib);
        }
    }
    CloseClipboard();
    FILE* out = read ? std::fopen(argv[1], "wb") : nullptr;
    if (out == nullptr) {
        return 1;
    }
    const int32_t size[2] = {width, height};
    std::fwrite(size, sizeof(size), 1, out);
    std::fwrite(pixels.data(), sizeof(uint32_t), pixels.size(), out);
    std::fclose(out);
    return 0;
}
