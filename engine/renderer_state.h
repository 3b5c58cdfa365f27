// The Direct3D state of one run of the lens: the device, every resource that capture and
// composition work on, and the effect with its handles. The run owns it and hands it to every step
// that draws; nothing of it outlives the run.
#pragma once

#include <d3d9.h>

#include <memory>

#include "d3dx/effect.h"
#include "d3dx/matrix.h"
#include "quad.h"
#include "release_and_clear.h"

constexpr DWORD kQuadFvf = D3DFVF_XYZRHW | D3DFVF_TEX1;
constexpr UINT kQuadBytes = sizeof(Quad);

// Handles into g_Effect; empty when the effect lacks the name or does not exist.
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

    IDirect3D9* g_D3D = nullptr;
    IDirect3DDevice9* g_D3DDevice = nullptr;
    D3DPRESENT_PARAMETERS g_PresentParameters = {}; // kept for Reset
    IDirect3DVertexDeclaration9* g_VertexDeclaration = nullptr;
    // The captured, stretched screen image (system memory, written by the CPU) and its level 0.
    IDirect3DTexture9* g_Texture_BackgroundStretch = nullptr;
    IDirect3DSurface9* g_Surface_BackgroundStretch = nullptr;
    // Default pool: the GPU copy of the capture, the RGB render target and the device's back
    // buffer. These are the objects a device reset takes away.
    IDirect3DTexture9* g_Texture_Final = nullptr;
    IDirect3DTexture9* g_RGBRenderBuffer = nullptr;
    IDirect3DSurface9* g_RGBRenderBufferSurface = nullptr;
    IDirect3DSurface9* g_BackBuffer = nullptr;
    IDirect3DTexture9* g_Texture_Cursor = nullptr; // managed; empty without a cursor picture
    IDirect3DSurface9* g_BackBufferCopy = nullptr; // system memory: CPU read-back
    IDirect3DVertexBuffer9* g_VertexBuffer_Cursor = nullptr;
    IDirect3DVertexBuffer9* g_VertexBuffer_Quad = nullptr;
    std::unique_ptr<d3dx::Effect> g_Effect;
    EffectHandles g_EffectHandles = {};

    UINT g_RenderWidth = 0;
    UINT g_RenderHeight = 0;
    d3dx::Matrix g_WorldViewProj = {};
    DWORD g_PixelShader20 = 1;     // cleared for a device below pixel shader 2.0
    HWND g_DeviceWindow = nullptr; // kept for re-creation after a broken device
    DWORD g_CursorType = 0;

    // A read-back reported the device lost; the top of the next frame handles it.
    bool deviceLost = false;
    // The packing pass drew this frame's packed YUV image into g_BackBuffer.
    bool backBufferPacked = false;
};

// Writes `quad` into the vertex buffer `buffer`. A buffer that cannot be locked is released and
// emptied, so that nothing is drawn from it from then on; false then.
bool WriteQuad(IDirect3DVertexBuffer9*& buffer, const Quad& quad);

// What the renderer takes from the system; tests put their own answers in place.
struct RendererPlatform {
    IDirect3D9*(WINAPI* createDirect3D)(UINT sdkVersion);
    // Waits `milliseconds` unless the engine is closed first; false when it was closed.
    bool (*pause)(DWORD milliseconds);
};
extern RendererPlatform g_RendererPlatform;
