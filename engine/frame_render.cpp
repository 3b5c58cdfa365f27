#include "frame_render.h"

#include <cstdint>
#include <cstring>

#include "brightness.h"
#include "device_loss.h"
#include "renderer_state.h"

namespace {

void DrawQuad(Renderer& r) {
    r.g_D3DDevice->SetVertexDeclaration(r.g_VertexDeclaration);
    r.g_D3DDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}

// Draws the bound quad through every pass of the effect's current technique.
void RunTechnique(Renderer& r) {
    UINT passes = 0;
    if (FAILED(r.g_Effect->Begin(&passes, 0))) {
        return;
    }
    for (UINT i = 0; i < passes; ++i) {
        r.g_Effect->Pass(i);
        DrawQuad(r);
    }
    r.g_Effect->End();
}

// The first pass: the captured image into the RGB render buffer, through the effect when there
// is one, with the brightness applied when the device runs pixel shaders.
void DrawCapturedImage(Renderer& r, int brightness) {
    if (!r.g_Effect) {
        r.g_D3DDevice->SetTexture(0, r.g_Texture_Final);
        DrawQuad(r);
        return;
    }
    const EffectHandles& h = r.g_EffectHandles;
    if (!r.g_PixelShader20) {
        r.g_Effect->SetTechnique(h.noPs);
        r.g_Effect->SetValue(h.worldViewProj, &r.g_WorldViewProj, D3DX_DEFAULT);
        r.g_D3DDevice->SetTexture(0, r.g_Texture_Final);
        RunTechnique(r);
        return;
    }
    const BrightnessPass pass = MapBrightness(brightness);
    r.g_Effect->SetTechnique(pass.technique == BrightnessTechnique::kRgb ? h.rgbPs : h.rgbDarkPs);
    r.g_Effect->SetValue(h.brightness, &pass.value, sizeof(pass.value));
    r.g_Effect->SetValue(h.worldViewProj, &r.g_WorldViewProj, D3DX_DEFAULT);
    r.g_Effect->SetTexture(h.tex, r.g_Texture_Final);
    RunTechnique(r);
}

} // namespace

void RenderFrame(Renderer& r, unsigned /*overlayFormat*/, POINT cursor, int brightness) {
    if (r.g_D3DDevice == nullptr) {
        return;
    }
    r.g_D3DDevice->UpdateTexture(r.g_Texture_BackgroundStretch, r.g_Texture_Final);
    r.g_D3DDevice->SetRenderTarget(0, r.g_RGBRenderBufferSurface);
    r.g_D3DDevice->SetStreamSource(0, r.g_VertexBuffer_Quad, 0, sizeof(QuadVertex));
    r.g_D3DDevice->BeginScene();
    DrawCapturedImage(r, brightness);
    DrawInternalCursor(r, cursor.x, cursor.y);
    r.g_D3DDevice->EndScene();
}

void DrawInternalCursor(Renderer& r, int x, int y) {
    if (r.g_Texture_Cursor == nullptr || r.g_VertexBuffer_Cursor == nullptr) {
        return;
    }
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    QuadVertex* q = r.g_QuadVertices;
    q[kRightTop].x = fx + 63.5f;
    q[kRightBottom].x = fx + 63.5f;
    q[kLeftTop].x = fx - 64.5f;
    q[kLeftBottom].x = fx - 64.5f;
    q[kRightTop].y = fy - 64.5f;
    q[kLeftTop].y = fy - 64.5f;
    q[kRightBottom].y = fy + 63.5f;
    q[kLeftBottom].y = fy + 63.5f;
    void* vertices = nullptr;
    if (FAILED(r.g_VertexBuffer_Cursor->Lock(0, kQuadBytes, &vertices, 0))) {
        ReleaseAndClear(r.g_VertexBuffer_Cursor);
        return;
    }
    std::memcpy(vertices, q, kQuadBytes);
    r.g_VertexBuffer_Cursor->Unlock();

    IDirect3DDevice9* d = r.g_D3DDevice;
    d->SetStreamSource(0, r.g_VertexBuffer_Cursor, 0, sizeof(QuadVertex));
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d->SetPixelShader(nullptr);
    d->SetTexture(0, r.g_Texture_Cursor);
    DrawQuad(r);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

void CopyFrameRGB(Renderer& r, const DDSURFACEDESC* surface) {
    if (r.g_BackBufferCopy == nullptr) {
        return;
    }
    // The read-back waits for the GPU to finish the frame.
    NoteDeviceResult(
        r, r.g_D3DDevice->GetRenderTargetData(r.g_RGBRenderBufferSurface, r.g_BackBufferCopy));
    const RECT area = {0, 0, static_cast<LONG>(r.g_RenderWidth),
                       static_cast<LONG>(r.g_RenderHeight)};
    D3DLOCKED_RECT locked = {};
    if (FAILED(r.g_BackBufferCopy->LockRect(&locked, &area, D3DLOCK_READONLY))) {
        return;
    }
    // Both sides are made from the lens size at the start of the run; never read or write past
    // the smaller of the two.
    const UINT rows = surface->dwHeight < r.g_RenderHeight ? surface->dwHeight : r.g_RenderHeight;
    const UINT width = surface->dwWidth < r.g_RenderWidth ? surface->dwWidth : r.g_RenderWidth;
    const uint8_t* from = static_cast<const uint8_t*>(locked.pBits);
    uint8_t* to = static_cast<uint8_t*>(surface->lpSurface);
    for (UINT i = 0; i < rows; ++i) {
        std::memcpy(to + static_cast<INT_PTR>(i) * surface->lPitch,
                    from + static_cast<INT_PTR>(i) * locked.Pitch, width * 4);
    }
    r.g_BackBufferCopy->UnlockRect();
}

void CopyFrameRGBInto(Renderer& r, IDirectDrawSurface* surface, DWORD lockFlags) {
    DDSURFACEDESC description;
    std::memset(&description, 0, sizeof(description));
    description.dwSize = sizeof(description);
    if (SUCCEEDED(surface->Lock(nullptr, &description, lockFlags, nullptr))) {
        CopyFrameRGB(r, &description);
        surface->Unlock(description.lpSurface);
    }
}
