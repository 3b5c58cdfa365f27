#include "frame_render.h"

#include <cstdint>
#include <cstring>

#include "brightness.h"
#include "d3d_device.h"
#include "renderer_state.h"

namespace {

constexpr DWORD kGpuPollMs = 2;
constexpr DWORD kLostDevicePauseMs = 100;

void DrawQuad() {
    g_D3DDevice->SetVertexDeclaration(g_VertexDeclaration);
    g_D3DDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}

// Draws the bound quad through every pass of the effect's current technique.
void RunTechnique() {
    UINT passes = 0;
    if (FAILED(g_Effect->Begin(&passes, 0))) {
        return;
    }
    for (UINT i = 0; i < passes; ++i) {
        g_Effect->Pass(i);
        DrawQuad();
    }
    g_Effect->End();
}

// The first pass: the captured image into the RGB render buffer, through the effect when there
// is one, with the brightness applied when the device runs pixel shaders.
void DrawCapturedImage(int brightness) {
    if (!g_Effect) {
        g_D3DDevice->SetTexture(0, g_Texture_Final);
        DrawQuad();
        return;
    }
    const EffectHandles& h = g_EffectHandles;
    if (!g_PixelShader20) {
        g_Effect->SetTechnique(h.noPs);
        g_Effect->SetValue(h.worldViewProj, &g_WorldViewProj, D3DX_DEFAULT);
        g_D3DDevice->SetTexture(0, g_Texture_Final);
        RunTechnique();
        return;
    }
    const BrightnessPass pass = MapBrightness(brightness);
    g_Effect->SetTechnique(pass.technique == BrightnessTechnique::kRgb ? h.rgbPs : h.rgbDarkPs);
    g_Effect->SetValue(h.brightness, &pass.value, sizeof(pass.value));
    g_Effect->SetValue(h.worldViewProj, &g_WorldViewProj, D3DX_DEFAULT);
    g_Effect->SetTexture(h.tex, g_Texture_Final);
    RunTechnique();
}

// Keeps the CPU from running ahead of the GPU, so the read-back finds the frame finished.
void WaitForGpu() {
    if (g_EventQuery == nullptr) {
        g_RendererPlatform.sleep(kGpuPollMs);
        return;
    }
    g_EventQuery->Issue(D3DISSUE_END);
    while (g_EventQuery->GetData(nullptr, 0, D3DGETDATA_FLUSH) == S_FALSE) {
        g_RendererPlatform.sleep(kGpuPollMs);
    }
}

void RecreateAfterLoss() {
    const HRESULT state = g_D3DDevice->TestCooperativeLevel();
    if (SUCCEEDED(state)) {
        return;
    }
    if (state == D3DERR_DEVICELOST) {
        g_RendererPlatform.sleep(kLostDevicePauseMs);
        return;
    }
    if (state == D3DERR_DEVICENOTRESET) {
        ReleaseD3DResources();
        g_D3DDevice->Reset(&g_PresentParameters);
        CreateVertexDeclaration();
        CreateD3DResources(nullptr, g_CursorType);
        return;
    }
    g_RendererPlatform.sleep(kLostDevicePauseMs);
    const UINT size[2] = {g_RenderWidth, g_RenderHeight};
    ReleaseD3DResources();
    ReleaseDirect3D();
    InitDirect3D(g_DeviceWindow, size, g_CursorType);
}

} // namespace

void RenderFrame(unsigned /*overlayFormat*/, POINT cursor, int brightness) {
    if (g_D3DDevice == nullptr) {
        return;
    }
    g_D3DDevice->UpdateTexture(g_Texture_BackgroundStretch, g_Texture_Final);
    g_D3DDevice->SetRenderTarget(0, g_RGBRenderBufferSurface);
    g_D3DDevice->SetStreamSource(0, g_VertexBuffer_Quad, 0, sizeof(QuadVertex));
    g_D3DDevice->BeginScene();
    DrawCapturedImage(brightness);
    DrawInternalCursor(cursor.x, cursor.y);
    g_D3DDevice->EndScene();

    WaitForGpu();
    if (g_D3DDevice->Present(nullptr, nullptr, nullptr, nullptr) == D3DERR_DEVICELOST) {
        RecreateAfterLoss();
    }
}

void DrawInternalCursor(int x, int y) {
    if (g_Texture_Cursor == nullptr || g_VertexBuffer_Cursor == nullptr) {
        return;
    }
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    g_QuadVertices[kRightTop].x = fx + 63.5f;
    g_QuadVertices[kRightBottom].x = fx + 63.5f;
    g_QuadVertices[kLeftTop].x = fx - 64.5f;
    g_QuadVertices[kLeftBottom].x = fx - 64.5f;
    g_QuadVertices[kRightTop].y = fy - 64.5f;
    g_QuadVertices[kLeftTop].y = fy - 64.5f;
    g_QuadVertices[kRightBottom].y = fy + 63.5f;
    g_QuadVertices[kLeftBottom].y = fy + 63.5f;
    void* vertices = nullptr;
    if (FAILED(g_VertexBuffer_Cursor->Lock(0, kQuadBytes, &vertices, 0))) {
        ReleaseAndClear(g_VertexBuffer_Cursor);
        return;
    }
    std::memcpy(vertices, g_QuadVertices, kQuadBytes);
    g_VertexBuffer_Cursor->Unlock();

    g_D3DDevice->SetStreamSource(0, g_VertexBuffer_Cursor, 0, sizeof(QuadVertex));
    g_D3DDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_D3DDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_D3DDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    g_D3DDevice->SetPixelShader(nullptr);
    g_D3DDevice->SetTexture(0, g_Texture_Cursor);
    DrawQuad();
    g_D3DDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

void CopyFrameRGB(const DDSURFACEDESC* surface) {
    if (g_BackBufferCopy == nullptr) {
        return;
    }
    g_D3DDevice->GetRenderTargetData(g_RGBRenderBufferSurface, g_BackBufferCopy);
    const RECT area = {0, 0, static_cast<LONG>(g_RenderWidth), static_cast<LONG>(g_RenderHeight)};
    D3DLOCKED_RECT locked = {};
    if (FAILED(g_BackBufferCopy->LockRect(&locked, &area, 0))) {
        return;
    }
    // Both sides are made from the lens size at the start of the run; never read or write past
    // the smaller of the two.
    const UINT rows = surface->dwHeight < g_RenderHeight ? surface->dwHeight : g_RenderHeight;
    const UINT width = surface->dwWidth < g_RenderWidth ? surface->dwWidth : g_RenderWidth;
    const uint8_t* from = static_cast<const uint8_t*>(locked.pBits);
    uint8_t* to = static_cast<uint8_t*>(surface->lpSurface);
    for (UINT i = 0; i < rows; ++i) {
        std::memcpy(to + static_cast<INT_PTR>(i) * surface->lPitch,
                    from + static_cast<INT_PTR>(i) * locked.Pitch, width * 4);
    }
    g_BackBufferCopy->UnlockRect();
}

void CopyFrameRGBInto(IDirectDrawSurface* surface, DWORD lockFlags) {
    DDSURFACEDESC description;
    std::memset(&description, 0, sizeof(description));
    description.dwSize = sizeof(description);
    if (SUCCEEDED(surface->Lock(nullptr, &description, lockFlags, nullptr))) {
        CopyFrameRGB(&description);
        surface->Unlock(description.lpSurface);
    }
}
