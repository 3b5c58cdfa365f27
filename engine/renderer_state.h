// The Direct3D state of the renderer: the device, every resource that capture and composition
// work on, and the effect with its handles. One set per engine, owned by the magnifier thread.
#pragma once

#include <d3d9.h>

#include <memory>

#include "d3dx/effect.h"
#include "d3dx/matrix.h"

// The pre-transformed vertex of every quad: screen position in pixels, then texture coordinates.
struct QuadVertex {
    float x, y, z, rhw;
    float u, v;
};
static_assert(sizeof(QuadVertex) == 24, "24-byte vertices");
constexpr DWORD kQuadFvf = D3DFVF_XYZRHW | D3DFVF_TEX1;
constexpr UINT kQuadBytes = 4 * sizeof(QuadVertex);

// Indices of the corners in a quad: the strip runs right-top, right-bottom, left-top, left-bottom.
enum QuadCorner { kRightTop = 0, kRightBottom = 1, kLeftTop = 2, kLeftBottom = 3 };

extern IDirect3D9* g_D3D;
extern IDirect3DDevice9* g_D3DDevice;
extern D3DPRESENT_PARAMETERS g_PresentParameters;
extern IDirect3DVertexDeclaration9* g_VertexDeclaration;
extern IDirect3DQuery9* g_EventQuery;
extern IDirect3DTexture9* g_Texture_BackgroundStretch;
extern IDirect3DSurface9* g_Surface_BackgroundStretch;
extern IDirect3DSurface9* g_Surface_BackgroundStretch24bit;
extern IDirect3DTexture9* g_Texture_Final;
extern IDirect3DTexture9* g_RGBRenderBuffer;
extern IDirect3DSurface9* g_RGBRenderBufferSurface;
extern IDirect3DSurface9* g_BackBuffer;
extern IDirect3DTexture9* g_Texture_Cursor;
extern IDirect3DSurface9* g_BackBufferCopy;
extern IDirect3DVertexBuffer9* g_VertexBuffer_Cursor;
extern IDirect3DVertexBuffer9* g_VertexBuffer_Quad;
extern std::unique_ptr<d3dx::Effect> g_Effect;

extern UINT g_RenderWidth;
extern UINT g_RenderHeight;
extern d3dx::Matrix g_WorldViewProj;
extern QuadVertex g_QuadVertices[4];
extern DWORD g_PixelShader20;
extern DWORD g_CpuHasMMX;
extern HWND g_DeviceWindow;
extern DWORD g_CursorType;

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
extern EffectHandles g_EffectHandles;

// What the renderer takes from the system; tests put their own answers in place.
struct RendererPlatform {
    IDirect3D9*(WINAPI* createDirect3D)(UINT sdkVersion);
    void (*sleep)(DWORD milliseconds);
};
extern RendererPlatform g_RendererPlatform;

// Releases one COM reference held in a module variable and empties the variable.
template <class T> void ReleaseAndClear(T*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}
