#include "ico_file.h"

#include <cstddef>

#include "byte_writer.h"

namespace {

constexpr uint32_t kDirectoryBytes = 6;
constexpr uint32_t kEntryBytes = 16;

// The image as stored in the file: header (with the doubled height of picture and mask),
// colour table, colour rows, mask rows.
std::vector<uint8_t> ImageBytes(const IconImage& image) {
    const IndexedPicture& picture = image.picture;
    const IndexedPicture mask{picture.width, picture.height, {}, image.transparent};
    const uint32_t imageBytes =
        (RowBytes(picture.width, image.bitsPerPixel) + RowBytes(picture.width, 1)) * picture.height;
    std::vector<uint8_t> bytes;
    AppendInfoHeader(bytes, picture.width, picture.height * 2, image.bitsPerPixel,
                     static_cast<uint32_t>(picture.palette.size()), imageBytes);
    AppendColourTable(bytes, picture.palette);
    AppendIndexedRows(bytes, picture, image.bitsPerPixel);
    AppendIndexedRows(bytes, mask, 1);
    return bytes;
}

} // namespace

std::vector<uint8_t> IcoFile(const std::vector<IconImage>& images) {
    std::vector<std::vector<uint8_t>> stored;
    for (const IconImage& image : images) {
        stored.push_back(ImageBytes(image));
    }
    std::vector<uint8_t> file;
    AppendU16(file, 0);
    AppendU16(file, 1); // icon, not cursor
    AppendU16(file, static_cast<uint32_t>(images.size()));
    uint32_t offset = kDirectoryBytes + kEntryBytes * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        const uint32_t colours = image.bitsPerPixel < 8 ? 1u << image.bitsPerPixel : 0;
        file.push_back(static_cast<uint8_t>(image.picture.width));
        file.push_back(static_cast<uint8_t>(image.picture.height));
        file.push_back(static_cast<uint8_t>(colours));
        file.push_back(0);
        AppendU16(file, 1);
        AppendU16(file, static_cast<uint32_t>(image.bitsPerPixel));
        AppendU32(file, static_cast<uint32_t>(stored[i].size()));
        AppendU32(file, offset);
        offset += static_cast<uint32_t>(stored[i].size());
    }
    for (const std::vector<uint8_t>& bytes : stored) {
        file.insert(file.end(), bytes.begin(), bytes.end());
    }
    return file;
}
