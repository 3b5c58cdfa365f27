#include "renderer_state.h"

IDirect3D9* g_D3D = nullptr;
IDirect3DDevice9* g_D3DDevice = nullptr;
D3DPRESENT_PARAMETERS g_PresentParameters = {};
IDirect3DVertexDeclaration9* g_VertexDeclaration = nullptr;
IDirect3DQuery9* g_EventQuery = nullptr;
IDirect3DTexture9* g_Texture_BackgroundStretch = nullptr;
IDirect3DSurface9* g_Surface_BackgroundStretch = nullptr;
IDirect3DSurface9* g_Surface_BackgroundStretch24bit = nullptr;
IDirect3DTexture9* g_Texture_Final = nullptr;
IDirect3DTexture9* g_RGBRenderBuffer = nullptr;
IDirect3DSurface9* g_RGBRenderBufferSurface = nullptr;
IDirect3DSurface9* g_BackBuffer = nullptr;
IDirect3DTexture9* g_Texture_Cursor = nullptr;
IDirect3DSurface9* g_BackBufferCopy = nullptr;
IDirect3DVertexBuffer9* g_VertexBuffer_Cursor = nullptr;
IDirect3DVertexBuffer9* g_VertexBuffer_Quad = nullptr;
std::unique_ptr<d3dx::Effect> g_Effect;

UINT g_RenderWidth = 0;
UINT g_RenderHeight = 0;
d3dx::Matrix g_WorldViewProj = {};
QuadVertex g_QuadVertices[4] = {
    {750.0f, -0.5f, 0.5f, 1.0f, 1.0f, 0.0f},
    {750.0f, 750.0f, 0.5f, 1.0f, 1.0f, 1.0f},
    {-0.5f, -0.5f, 0.5f, 1.0f, 0.0f, 0.0f},
    {-0.5f, 750.0f, 0.5f, 1.0f, 0.0f, 1.0f},
};
DWORD g_PixelShader20 = 1;
DWORD g_CpuHasMMX = 0;
HWND g_DeviceWindow = nullptr;
DWORD g_CursorType = 0;
EffectHandles g_EffectHandles = {};

namespace {

void SystemSleep(DWORD milliseconds) {
    Sleep(milliseconds);
}

} // namespace

RendererPlatform g_RendererPlatform = {Direct3DCreate9, SystemSleep};
