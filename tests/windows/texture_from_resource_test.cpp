// The engine's texture loader on a real Direct3D 9 device: the cursor bitmaps of the built
// engine library become 128 x 128 sprites whose blue background is transparent.
#include <gtest/gtest.h>

#include <d3d9.h>

#include <cstring>
#include <string>
#include <vector>

#include "d3dx/bitmap_decoding.h"
#include "d3dx/texture_from_resource.h"
#include "scoped_handles.h"
#include "test_support.h"

namespace {

const char* const kCursorNames[] = {"ARROW", "HAND", "CROSSHAIR", "DOT"};
constexpr D3DCOLOR kBlueKey = 0xFF0000FF;

// A device on a hidden window, as the engine makes one.
class TestDevice {
public:
    TestDevice() {
        window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                  nullptr, nullptr);
        direct3d_ = Direct3DCreate9(D3D_SDK_VERSION);
        if (window_ == nullptr || direct3d_ == nullptr) {
            return;
        }
        D3DPRESENT_PARAMETERS parameters = {};
        parameters.BackBufferWidth = 64;
        parameters.BackBufferHeight = 64;
        parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
        parameters.BackBufferCount = 1;
        parameters.SwapEffect = D3DSWAPEFFECT_COPY;
        parameters.hDeviceWindow = window_;
        parameters.Windowed = TRUE;
        direct3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, device_.Put());
    }
    ~TestDevice() {
        device_.Reset();
        if (direct3d_ != nullptr) {
            direct3d_->Release();
        }
        if (window_ != nullptr) {
            DestroyWindow(window_);
        }
    }
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;

    IDirect3DDevice9* Get() const { return device_.Get(); }

private:
    HWND window_ = nullptr;
    IDirect3D9* direct3d_ = nullptr;
    ComPtr<IDirect3DDevice9> device_;
};

// The texels of one level, row by row.
struct Texels {
    UINT width = 0;
    UINT height = 0;
    std::vector<D3DCOLOR> values;
    D3DCOLOR At(UINT x, UINT y) const { return values[y * width + x]; }
};

Texels ReadSurface(IDirect3DSurface9* surface) {
    Texels texels;
    D3DSURFACE_DESC desc;
    D3DLOCKED_RECT locked;
    if (FAILED(surface->GetDesc(&desc)) ||
        FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        return texels;
    }
    texels.width = desc.Width;
    texels.height = desc.Height;
    texels.values.resize(desc.Width * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y) {
        std::memcpy(&texels.values[y * desc.Width],
                    static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch, desc.Width * 4);
    }
    surface->UnlockRect();
    return texels;
}

Texels ReadLevel(IDirect3DTexture9* texture, UINT level) {
    ComPtr<IDirect3DSurface9> surface;
    if (FAILED(texture->GetSurfaceLevel(level, surface.Put()))) {
        return {};
    }
    return ReadSurface(surface.Get());
}

HRESULT LoadCursor(IDirect3DDevice9* device, HMODULE module, const char* name,
                   ComPtr<IDirect3DTexture9>& texture) {
    return d3dx::CreateTextureFromResourceEx(device, module, name, D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                             D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                             D3DX_DEFAULT, kBlueKey, texture.Put());
}

class TextureFromResource : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, device_.Get()) << "a Direct3D 9 device on a hidden window";
        ASSERT_TRUE(engine_) << "the engine library beside the test";
    }

    TestDevice device_;
    UniqueModule engine_{LoadLibraryA((ProgramFolder() + "\\" QX_ENGINE_LIBRARY).c_str())};
};

TEST_F(TextureFromResource, CursorsBecomeSpritesWithATransparentBackgroundAndAnOpaqueOutline) {
    for (const char* name : kCursorNames) {
        ComPtr<IDirect3DTexture9> texture;
        ASSERT_EQ(D3D_OK, LoadCursor(device_.Get(), engine_.Get(), name, texture)) << name;
        EXPECT_EQ(1u, texture->GetLevelCount()) << name;
        D3DSURFACE_DESC desc;
        ASSERT_EQ(D3D_OK, texture->GetLevelDesc(0, &desc));
        EXPECT_EQ(D3DFMT_A8R8G8B8, desc.Format) << name;
        EXPECT_EQ(D3DPOOL_MANAGED, desc.Pool) << name;

        const Texels texels = ReadLevel(texture.Get(), 0);
        ASSERT_EQ(128u, texels.width) << name;
        ASSERT_EQ(128u, texels.height) << name;
        EXPECT_EQ(0u, texels.At(0, 0)) << name << ": blue became transparent black";
        EXPECT_EQ(0u, texels.At(127, 127)) << name;
        int opaque = 0;
        for (UINT y = 0; y < 128; ++y) {
            for (UINT x = 0; x < 128; ++x) {
                const D3DCOLOR texel = texels.At(x, y);
                if (texel == 0) {
                    continue;
                }
                ++opaque;
                ASSERT_EQ(0xFFu, texel >> 24) << name << " at " << x << "," << y;
                // Where the figure meets the transparent background it is black.
                const bool edge =
                    (x > 0 && texels.At(x - 1, y) == 0) || (x < 127 && texels.At(x + 1, y) == 0) ||
                    (y > 0 && texels.At(x, y - 1) == 0) || (y < 127 && texels.At(x, y + 1) == 0);
                if (edge) {
                    ASSERT_EQ(0xFF000000u, texel) << name << " at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(opaque, 150) << name;
    }
}

TEST_F(TextureFromResource, TheArrowsTipTexelIsOpaqueAndItsUpLeftNeighbourTransparent) {
    ComPtr<IDirect3DTexture9> arrow;
    ASSERT_EQ(D3D_OK, LoadCursor(device_.Get(), engine_.Get(), "ARROW", arrow));
    const Texels texels = ReadLevel(arrow.Get(), 0);
    ASSERT_EQ(128u, texels.width);
    EXPECT_EQ(0xFF000000u, texels.At(63, 63));
    EXPECT_EQ(0u, texels.At(62, 62));
    EXPECT_EQ(0u, texels.At(63, 62));
    EXPECT_EQ(0u, texels.At(62, 63));
}

// GDI reads the same bitmap resource on its own; with the colour key applied to its pixels it
// gives the very texels of the texture.
TEST_F(TextureFromResource, HoldsTheBitmapAsGdiReadsItWithBlueMadeTransparent) {
    for (const char* name : kCursorNames) {
        UniqueGdiObject bitmap(
            LoadImageA(engine_.Get(), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_TRUE(bitmap) << name;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = 128;
        info.bmiHeader.biHeight = -128;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        std::vector<D3DCOLOR> expected(128 * 128);
        WindowDc screen(nullptr, GetDC(nullptr));
        ASSERT_EQ(128, GetDIBits(screen.Get(), static_cast<HBITMAP>(bitmap.Get()), 0, 128,
                                 expected.data(), &info, DIB_RGB_COLORS))
            << name;
        for (D3DCOLOR& pixel : expected) {
            pixel |= 0xFF000000;
            if (pixel == kBlueKey) {
                pixel = 0;
            }
        }
        ComPtr<IDirect3DTexture9> texture;
        ASSERT_EQ(D3D_OK, LoadCursor(device_.Get(), engine_.Get(), name, texture)) << name;
        EXPECT_TRUE(expected == ReadLevel(texture.Get(), 0).values) << name;
    }
}

TEST_F(TextureFromResource, RefusesBadArgumentsAndMissingOrUnreadableResources) {
    IDirect3DDevice9* device = device_.Get();
    HMODULE engine = engine_.Get();
    IDirect3DTexture9* untouched = reinterpret_cast<IDirect3DTexture9*>(0x1234);
    auto load = [&](IDirect3DDevice9* on, HMODULE from, const char* name, D3DFORMAT format,
                    DWORD filter) {
        return d3dx::CreateTextureFromResourceEx(on, from, name, D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                                 format, D3DPOOL_MANAGED, filter, D3DX_DEFAULT,
                                                 kBlueKey, &untouched);
    };
    EXPECT_EQ(D3DERR_INVALIDCALL, load(nullptr, engine, "ARROW", D3DFMT_A8R8G8B8, D3DX_DEFAULT));
    EXPECT_EQ(D3DERR_INVALIDCALL, load(device, engine, nullptr, D3DFMT_A8R8G8B8, D3DX_DEFAULT));
    EXPECT_EQ(D3DERR_INVALIDCALL, load(device, engine, "ARROW", D3DFMT_A8R8G8B8, 0));
    EXPECT_EQ(D3DERR_INVALIDCALL, load(device, engine, "ARROW", D3DFMT_R5G6B5, D3DX_DEFAULT));
    EXPECT_EQ(d3dx::kErrorInvalidData,
              load(device, engine, "NOSUCHBITMAP", D3DFMT_A8R8G8B8, D3DX_DEFAULT));
    // This program's start sound exists, but as a WAVE resource, which is never read.
    EXPECT_EQ(d3dx::kErrorInvalidData,
              load(device, nullptr, "LOAD", D3DFMT_A8R8G8B8, D3DX_DEFAULT));
    EXPECT_EQ(reinterpret_cast<IDirect3DTexture9*>(0x1234), untouched);
    EXPECT_EQ(D3DERR_INVALIDCALL,
              d3dx::CreateTextureFromResourceEx(device, engine, "ARROW", D3DX_DEFAULT, D3DX_DEFAULT,
                                                1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                                D3DX_DEFAULT, D3DX_DEFAULT, kBlueKey, nullptr));
}

// The splash picture (320 x 240, linked into this test) goes into a 512 x 256 texture with its
// full mip chain; the smallest level holds the picture's average colour.
TEST_F(TextureFromResource, ScalesABitmapToPowersOfTwoAndBuildsTheMipChain) {
    ComPtr<IDirect3DTexture9> texture;
    ASSERT_EQ(D3D_OK, d3dx::CreateTextureFromResourceEx(
                          device_.Get(), nullptr, MAKEINTRESOURCEA(113), D3DX_DEFAULT, D3DX_DEFAULT,
                          0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT,
                          kBlueKey, texture.Put()));
    ASSERT_EQ(10u, texture->GetLevelCount());
    const Texels top = ReadLevel(texture.Get(), 0);
    EXPECT_EQ(512u, top.width);
    EXPECT_EQ(256u, top.height);
    EXPECT_EQ(0xFF000000u, top.At(0, 0)) << "32-bit bitmaps carry no alpha";
    const Texels last = ReadLevel(texture.Get(), 9);
    ASSERT_EQ(1u, last.width);
    ASSERT_EQ(1u, last.height);

    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(113), MAKEINTRESOURCEA(2));
    ASSERT_NE(nullptr, found);
    d3dx::ArgbImage source;
    ASSERT_TRUE(
        d3dx::DecodeBitmap(static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found))),
                           SizeofResource(nullptr, found), &source));
    for (int channel = 0; channel < 3; ++channel) {
        double sum = 0;
        for (D3DCOLOR pixel : source.pixels) {
            sum += (pixel >> (8 * channel)) & 0xFF;
        }
        EXPECT_NEAR(sum / source.pixels.size(), (last.At(0, 0) >> (8 * channel)) & 0xFF, 2.0)
            << "channel " << channel;
    }
}

// A render-target texture cannot be locked; it is filled through a system-memory copy and reads
// back the same texels as the managed one.
TEST_F(TextureFromResource, FillsADefaultPoolRenderTargetThroughASystemMemoryCopy) {
    ComPtr<IDirect3DTexture9> managed;
    ASSERT_EQ(D3D_OK, LoadCursor(device_.Get(), engine_.Get(), "HAND", managed));
    ComPtr<IDirect3DTexture9> target;
    ASSERT_EQ(D3D_OK, d3dx::CreateTextureFromResourceEx(
                          device_.Get(), engine_.Get(), "HAND", D3DX_DEFAULT, D3DX_DEFAULT, 1,
                          D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, D3DX_DEFAULT,
                          D3DX_DEFAULT, kBlueKey, target.Put()));
    ComPtr<IDirect3DSurface9> level;
    ASSERT_EQ(D3D_OK, target->GetSurfaceLevel(0, level.Put()));
    ComPtr<IDirect3DSurface9> copy;
    ASSERT_EQ(D3D_OK, device_.Get()->CreateOffscreenPlainSurface(
                          128, 128, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, copy.Put(), nullptr));
    ASSERT_EQ(D3D_OK, device_.Get()->GetRenderTargetData(level.Get(), copy.Get()));
    EXPECT_TRUE(ReadSurface(copy.Get()).values == ReadLevel(managed.Get(), 0).values);
}

} // namespace
