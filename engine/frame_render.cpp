#include "frame_render.h"

#include <cstdint>
#include <cstring>

#include "brightness.h"
#include "device_loss.h"
#include "display_path.h"
#include "packed_yuv.h"
#include "renderer_state.h"

namespace {

void DrawQuad(Renderer& r) {
    r.device->SetVertexDeclaration(r.vertexDeclaration.Get());
    r.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}

// Draws the bound quad through every pass of the effect's current technique. False when the
// technique could not be begun or has no pass.
bool RunTechnique(Renderer& r) {
    UINT passes = 0;
    if (FAILED(r.effect->Begin(&passes, 0))) {
        return false;
    }
    for (UINT i = 0; i < passes; ++i) {
        r.effect->Pass(i);
        DrawQuad(r);
    }
    r.effect->End();
    return passes > 0;
}

// The first pass: the captured image into the RGB render buffer, through the effect when there
// is one, with the brightness applied when the device runs pixel shaders.
void DrawCapturedImage(Renderer& r, int brightness) {
    if (!r.effect) {
        r.device->SetTexture(0, r.uploadedTexture.Get());
        DrawQuad(r);
        return;
    }
    const EffectHandles& h = r.effectHandles;
    if (!r.pixelShader20) {
        r.effect->SetTechnique(h.noPs);
        r.effect->SetValue(h.worldViewProj, &r.worldViewProj, D3DX_DEFAULT);
        r.device->SetTexture(0, r.uploadedTexture.Get());
        RunTechnique(r);
        return;
    }
    const BrightnessPass pass = MapBrightness(brightness);
    r.effect->SetTechnique(pass.technique == BrightnessTechnique::kRgb ? h.rgbPs : h.rgbDarkPs);
    r.effect->SetValue(h.brightness, &pass.value, sizeof(pass.value));
    r.effect->SetValue(h.worldViewProj, &r.worldViewProj, D3DX_DEFAULT);
    r.effect->SetTexture(h.tex, r.uploadedTexture.Get());
    RunTechnique(r);
}

// The second pass for a packed-YUV overlay: the finished RGB image packed into the left half of
// every row of the back buffer, two pixels to a texel in the overlay's byte order. It needs the
// effect's packing technique on a device with pixel shader 2.0; false when it did not run.
bool PackIntoBackBuffer(Renderer& r, DisplayPath path) {
    const EffectHandles& h = r.effectHandles;
    const d3dx::EffectHandle technique = path == DisplayPath::kOverlayYuy2 ? h.yuy2Ps : h.uyvyPs;
    if (!r.effect || !r.pixelShader20 || technique == nullptr || r.backBuffer == nullptr) {
        return false;
    }
    r.device->SetStreamSource(0, r.quadVertices.Get(), 0, sizeof(QuadVertex));
    if (FAILED(r.device->SetRenderTarget(0, r.backBuffer.Get())) ||
        FAILED(r.effect->SetTechnique(technique))) {
        return false;
    }
    const float shiftOneXPixel = 1.0f / static_cast<float>(r.renderWidth);
    r.effect->SetTexture(h.tex, r.rgbTarget.Get());
    r.effect->SetValue(h.shiftOneXPixel, &shiftOneXPixel, sizeof(shiftOneXPixel));
    return RunTechnique(r);
}

// Reads `from` back into readBackCopy and locks its first `texels` columns; false when the
// frame could not be read back (the copy then holds an older frame) or the copy cannot be locked.
// A device reported lost here is noted for the next frame.
bool ReadBack(Renderer& r, IDirect3DSurface9* from, UINT texels, D3DLOCKED_RECT* locked) {
    // The read-back waits for the GPU to finish the frame.
    const HRESULT copied = r.device->GetRenderTargetData(from, r.readBackCopy.Get());
    NoteDeviceResult(r, copied);
    if (FAILED(copied)) {
        return false;
    }
    const RECT area = {0, 0, static_cast<LONG>(texels), static_cast<LONG>(r.renderHeight)};
    return SUCCEEDED(r.readBackCopy->LockRect(locked, &area, D3DLOCK_READONLY));
}

void CopyRows(const D3DLOCKED_RECT& from, const DDSURFACEDESC* to, UINT rows, UINT bytes) {
    const uint8_t* source = static_cast<const uint8_t*>(from.pBits);
    uint8_t* destination = static_cast<uint8_t*>(to->lpSurface);
    for (UINT i = 0; i < rows; ++i) {
        std::memcpy(destination + static_cast<INT_PTR>(i) * to->lPitch,
                    source + static_cast<INT_PTR>(i) * from.Pitch, bytes);
    }
}

// Both sides are made from the lens size at the start of the run; never read or write past the
// smaller of the two.
UINT RowsToCopy(const Renderer& r, const DDSURFACEDESC* surface) {
    return surface->dwHeight < r.renderHeight ? surface->dwHeight : r.renderHeight;
}
UINT PixelsToCopy(const Renderer& r, const DDSURFACEDESC* surface) {
    return surface->dwWidth < r.renderWidth ? surface->dwWidth : r.renderWidth;
}

} // namespace

void RenderFrame(Renderer& r, DisplayPath path, POINT cursor, int brightness) {
    r.backBufferPacked = false;
    if (r.device == nullptr) {
        return;
    }
    r.device->UpdateTexture(r.captureTexture.Get(), r.uploadedTexture.Get());
    r.device->SetRenderTarget(0, r.rgbTargetSurface.Get());
    r.device->SetStreamSource(0, r.quadVertices.Get(), 0, sizeof(QuadVertex));
    r.device->BeginScene();
    DrawCapturedImage(r, brightness);
    DrawInternalCursor(r, cursor.x, cursor.y);
    if (IsPackedYuvPath(path)) {
        r.backBufferPacked = PackIntoBackBuffer(r, path);
    }
    r.device->EndScene();
}

void DrawInternalCursor(Renderer& r, int x, int y) {
    if (r.cursorTexture == nullptr || r.cursorVertices == nullptr) {
        return;
    }
    if (!WriteQuad(r.cursorVertices, CursorQuad(x, y))) {
        return;
    }

    IDirect3DDevice9* d = r.device.Get();
    d->SetStreamSource(0, r.cursorVertices.Get(), 0, sizeof(QuadVertex));
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d->SetPixelShader(nullptr);
    d->SetTexture(0, r.cursorTexture.Get());
    DrawQuad(r);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

void CopyFrameRGB(Renderer& r, const DDSURFACEDESC* surface) {
    D3DLOCKED_RECT locked = {};
    if (r.readBackCopy == nullptr ||
        !ReadBack(r, r.rgbTargetSurface.Get(), r.renderWidth, &locked)) {
        return;
    }
    CopyRows(locked, surface, RowsToCopy(r, surface), PixelsToCopy(r, surface) * 4);
    r.readBackCopy->UnlockRect();
}

void CopyFramePackedYUV(Renderer& r, const DDSURFACEDESC* surface, DisplayPath path) {
    if (r.readBackCopy == nullptr) {
        return;
    }
    const UINT rows = RowsToCopy(r, surface);
    const UINT pixels = PixelsToCopy(r, surface);
    D3DLOCKED_RECT locked = {};
    if (r.backBufferPacked) {
        // Two pixels to a texel: a row is pixels x 2 bytes from the left half of the back buffer.
        if (ReadBack(r, r.backBuffer.Get(), (r.renderWidth + 1) / 2, &locked)) {
            CopyRows(locked, surface, rows, pixels * 2);
            r.readBackCopy->UnlockRect();
        }
        return;
    }
    // No packing pass ran (no effect, or a device below pixel shader 2.0): the processor packs the
    // RGB image, through the fastest routine it has.
    if (ReadBack(r, r.rgbTargetSurface.Get(), r.renderWidth, &locked)) {
        const PackedYuvConversion convert =
            path == DisplayPath::kOverlayYuy2 ? RgbToYuy2 : RgbToUyvy;
        convert(rows, static_cast<int32_t>(pixels), locked.pBits, surface->lpSurface, locked.Pitch,
                surface->lPitch);
        r.readBackCopy->UnlockRect();
    }
}

void CopyFrameInto(Renderer& r, IDirectDrawSurface* surface, DWORD lockFlags, DisplayPath path) {
    DDSURFACEDESC description;
    std::memset(&description, 0, sizeof(description));
    description.dwSize = sizeof(description);
    if (FAILED(surface->Lock(nullptr, &description, lockFlags, nullptr))) {
        return;
    }
    if (IsPackedYuvPath(path)) {
        CopyFramePackedYUV(r, &description, path);
    } else {
        CopyFrameRGB(r, &description);
    }
    surface->Unlock(description.lpSurface);
}
