#include "texture_from_resource.h"

#include <cstring>

#include "bitmap_decoding.h"
#include "image_scaling.h"
#include "scoped_handles.h"
#include "texture_layout.h"

namespace d3dx {

namespace {

struct ResourceBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// The bytes of the named bitmap, or of a .bmp file kept as raw data.
bool FindBitmapResource(HMODULE module, const char* name, ResourceBytes* bytes) {
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(2)); // RT_BITMAP
    if (found == nullptr) {
        found = FindResourceA(module, name, MAKEINTRESOURCEA(10)); // RT_RCDATA
    }
    if (found == nullptr) {
        return false;
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return false;
    }
    bytes->data = static_cast<const uint8_t*>(data);
    bytes->size = SizeofResource(module, found);
    return true;
}

TextureLimits LimitsOf(IDirect3DDevice9* device) {
    TextureLimits limits;
    D3DCAPS9 caps = {};
    if (FAILED(device->GetDeviceCaps(&caps))) {
        return limits;
    }
    limits.maxWidth = caps.MaxTextureWidth;
    limits.maxHeight = caps.MaxTextureHeight;
    limits.powerOfTwo = (caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0;
    limits.nonPowerOfTwoSingleLevel = (caps.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL) != 0;
    limits.squareOnly = (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0;
    return limits;
}

HRESULT WriteLevel(IDirect3DTexture9* texture, UINT level, const ArgbImage& image) {
    D3DLOCKED_RECT locked;
    const HRESULT hr = texture->LockRect(level, &locked, nullptr, 0);
    if (FAILED(hr)) {
        return hr;
    }
    for (uint32_t y = 0; y < image.height; ++y) {
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
                    image.pixels.data() + static_cast<size_t>(y) * image.width,
                    static_cast<size_t>(image.width) * 4);
    }
    return texture->UnlockRect(level);
}

// Level 0 from the image by `filter`, every further level from the one above by `mipFilter`.
HRESULT WriteLevels(IDirect3DTexture9* texture, const ArgbImage& image, Filter filter,
                    Filter mipFilter) {
    ArgbImage level = image;
    const DWORD levels = texture->GetLevelCount();
    for (DWORD i = 0; i < levels; ++i) {
        D3DSURFACE_DESC desc;
        HRESULT hr = texture->GetLevelDesc(i, &desc);
        if (FAILED(hr)) {
            return hr;
        }
        level = Resized(level, desc.Width, desc.Height, i == 0 ? filter : mipFilter);
        hr = WriteLevel(texture, i, level);
        if (FAILED(hr)) {
            return hr;
        }
    }
    return D3D_OK;
}

} // namespace

bool LoadBitmapResource(HMODULE module, const char* resource, ArgbImage* image) {
    ResourceBytes bytes;
    return FindBitmapResource(module, resource, &bytes) &&
           DecodeBitmap(bytes.data, bytes.size, image);
}

HRESULT CreateTextureFromResourceEx(IDirect3DDevice9* device, HMODULE module, const char* resource,
                                    UINT width, UINT height, UINT mipLevels, DWORD usage,
                                    D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                    D3DCOLOR colorKey, IDirect3DTexture9** texture) {
    Filter imageFilter;
    Filter levelFilter;
    if (device == nullptr || resource == nullptr || texture == nullptr ||
        !ParseFilter(filter, Filter::Area, &imageFilter) ||
        !ParseFilter(mipFilter, Filter::Area, &levelFilter)) {
        return D3DERR_INVALIDCALL;
    }
    if (format == D3DFMT_UNKNOWN) {
        format = D3DFMT_A8R8G8B8;
    }
    if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) {
        return D3DERR_INVALIDCALL;
    }
    ArgbImage image;
    if (!LoadBitmapResource(module, resource, &image)) {
        return kErrorInvalidData;
    }
    ApplyColourKey(image, colorKey);

    const TextureLayout layout =
        ChooseTextureLayout(image.width, image.height, width, height, mipLevels, LimitsOf(device));
    ComPtr<IDirect3DTexture9> created;
    HRESULT hr = device->CreateTexture(layout.width, layout.height, layout.levels, usage, format,
                                       pool, created.Put(), nullptr);
    if (FAILED(hr)) {
        return hr;
    }
    const bool lockable = pool != D3DPOOL_DEFAULT || (usage & D3DUSAGE_DYNAMIC) != 0;
    if (lockable) {
        hr = WriteLevels(created.Get(), image, imageFilter, levelFilter);
    } else {
        ComPtr<IDirect3DTexture9> staging;
        hr = device->CreateTexture(layout.width, layout.height, created->GetLevelCount(), 0, format,
                                   D3DPOOL_SYSTEMMEM, staging.Put(), nullptr);
        if (SUCCEEDED(hr)) {
            hr = WriteLevels(staging.Get(), image, imageFilter, levelFilter);
        }
        if (SUCCEEDED(hr)) {
            hr = device->UpdateTexture(staging.Get(), created.Get());
        }
    }
    if (FAILED(hr)) {
        return hr;
    }
    created->AddRef();
    *texture = created.Get();
    return D3D_OK;
}

} // namespace d3dx
