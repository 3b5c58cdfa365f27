// The Direct3D state of one run of the lens: the device, every resource that capture and
// composition work on, and the effect with its handles. The run owns it and hands it to every step
// that draws; nothing of it outlives the run.
#pragma once

#include <d3d9.h>

#include <memory>

#include "d3dx/effect.h"
#include "d3dx/matrix.h"
#include "quad.h"
#include "scoped_handles.h"

constexpr DWORD kQuadFvf = D3DFVF_XYZRHW | D3DFVF_TEX1;
constexpr UINT kQuadBytes = sizeof(Quad);

// Handles into the renderer's effect; empty when the effect lacks the name or does not exist.
struct EffectHandles {
    d3dx::EffectHandle worldViewProj;
    d3dx::EffectHandle brightness;
    d3dx::EffectHandle shiftOneXPixel;
    d3dx::EffectHandle tex;
    d3dx::EffectHandle noPs;
    d3dx::EffectHandle yuy2Ps;
    d3dx::EffectHandle uyvyPs;
    d3dx::EffectHandle rgbPs;
    d3dx::EffectHandle rgbDarkPs;
};

struct Renderer {
    Renderer() = default;
    // Releases whatever is still held: resources, device, Direct3D object.
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    ComPtr<IDirect3D9> direct3D;
    ComPtr<IDirect3DDevice9> device;
    D3DPRESENT_PARAMETERS presentParameters = {}; // kept for Reset
    ComPtr<IDirect3DVertexDeclaration9> vertexDeclaration;
    // The captured, stretched screen image (system memory, written by the CPU) and its level 0
    // ("g_Texture_BackgroundStretch" and "g_Surface_BackgroundStretch" in the reports).
    ComPtr<IDirect3DTexture9> captureTexture;
    ComPtr<IDirect3DSurface9> captureSurface;
    // Default pool: the GPU copy of the capture ("g_Texture_Final"), the RGB render target
    // ("g_RGBRenderBuffer") and the device's back buffer. These are the objects a device reset
    // takes away.
    ComPtr<IDirect3DTexture9> uploadedTexture;
    ComPtr<IDirect3DTexture9> rgbTarget;
    ComPtr<IDirect3DSurface9> rgbTargetSurface;
    ComPtr<IDirect3DSurface9> backBuffer;
    ComPtr<IDirect3DTexture9> cursorTexture; // managed; empty without a cursor picture
    ComPtr<IDirect3DSurface9> readBackCopy;  // system memory: CPU read-back ("g_BackBufferCopy")
    ComPtr<IDirect3DVertexBuffer9> cursorVertices;
    ComPtr<IDirect3DVertexBuffer9> quadVertices;
    std::unique_ptr<d3dx::Effect> effect;
    EffectHandles effectHandles = {};

    UINT renderWidth = 0;
    UINT renderHeight = 0;
    d3dx::Matrix worldViewProj = {};
    DWORD pixelShader20 = 1;     // cleared for a device below pixel shader 2.0
    HWND deviceWindow = nullptr; // kept for re-creation after a broken device
    DWORD cursorType = 0;

    // A read-back reported the device lost; the top of the next frame handles it.
    bool deviceLost = false;
    // The packing pass drew this frame's packed YUV image into backBuffer.
    bool backBufferPacked = false;
};

// Writes `quad` into the vertex buffer `buffer`. A buffer that cannot be locked is released and
// emptied, so that nothing is drawn from it from then on; false then.
bool WriteQuad(ComPtr<IDirect3DVertexBuffer9>& buffer, const Quad& quad);
