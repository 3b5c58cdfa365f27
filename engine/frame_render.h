// Frame composition: the captured image drawn through the effect into the RGB render buffer with
// the brightness applied, the internal cursor on top; and the read-back of the finished image.
#pragma once

#include <windows.h>
#include <ddraw.h>

struct Renderer;

// Draws the frame for the display path `overlayFormat` with the pointer at `cursor` (render
// pixels) and the engine brightness. Nothing waits for the GPU here: the read-back that follows
// does.
void RenderFrame(Renderer& renderer, unsigned overlayFormat, POINT cursor, int brightness);

// Draws the cursor sprite centred on (x, y) into the current render target, inside a scene.
void DrawInternalCursor(Renderer& renderer, int x, int y);

// Reads the finished RGB image back into the locked surface that `surface` describes; a device
// reported lost here is noted for the next frame.
void CopyFrameRGB(Renderer& renderer, const DDSURFACEDESC* surface);

// Locks `surface` with `lockFlags`, reads the finished RGB image back into it and unlocks it; the
// copy is skipped when the lock fails.
void CopyFrameRGBInto(Renderer& renderer, IDirectDrawSurface* surface, DWORD lockFlags);
