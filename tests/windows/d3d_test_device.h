// A Direct3D 9 device on a hidden window for drawing tests, with helpers to upload an image,
// draw the pre-transformed textured quad the renderer draws, and read a render target back.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <string>
#include <vector>

#include "quad.h"
#include "scoped_handles.h"

// Pixels are A8R8G8B8 values, rows top to bottom.
using Image = std::vector<uint32_t>;

class TestDevice {
public:
    TestDevice();
    ~TestDevice();
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;

    IDirect3DDevice9* Get() const { return device_.Get(); }
    bool Valid() const { return static_cast<bool>(device_); }

    // A width x height texture in the managed pool holding `pixels`.
    bool MakeTexture(UINT width, UINT height, const Image& pixels,
                     ComPtr<IDirect3DTexture9>* texture);
    // A width x height render-target texture, A8R8G8B8 in the default pool, cleared to `fill`.
    bool MakeTarget(UINT width, UINT height, D3DCOLOR fill, ComPtr<IDirect3DTexture9>* target);
    // Sets level 0 of `target` as render target 0.
    bool UseTarget(IDirect3DTexture9* target);
    // Draws `quad` as the renderer does: a strip of two triangles with the renderer's vertex
    // declaration (POSITIONT float4, TEXCOORD0 float2).
    void DrawQuad(const Quad& quad);
    // Level 0 of `target` read back with GetRenderTargetData.
    Image ReadBack(IDirect3DTexture9* target);

private:
    HWND window_ = nullptr;
    ComPtr<IDirect3D9> d3d_;
    ComPtr<IDirect3DDevice9> device_;
    ComPtr<IDirect3DVertexDeclaration9> declaration_;
};

// A file from the test program's folder, whole.
std::string ReadProgramFile(const char* name);
