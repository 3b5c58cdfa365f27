#include "lens_image.h"

#include <cstring>

LensImage::~LensImage() {
    if (previous_ != nullptr) {
        SelectObject(dc_.Get(), previous_);
    }
}

bool LensImage::Create(UINT width, UINT height) {
    if (width == 0 || height == 0 || width > 0x7FFF || height > 0x7FFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    UniqueGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !bitmap || bits == nullptr) {
        return false;
    }
    if (previous_ != nullptr) {
        SelectObject(dc_.Get(), previous_);
    }
    previous_ = SelectObject(dc.Get(), bitmap.Get());
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

DDSURFACEDESC LensImage::Description() const {
    DDSURFACEDESC description;
    std::memset(&description, 0, sizeof(description));
    description.dwSize = sizeof(description);
    description.dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH;
    description.dwWidth = width_;
    description.dwHeight = height_;
    description.lPitch = Pitch();
    description.lpSurface = bits_;
    description.ddpfPixelFormat.dwRGBBitCount = 32;
    return description;
}
