// Frame composition: the captured image drawn through the effect into the RGB render buffer,
// the internal cursor on top, the GPU wait, presentation and recovery from a lost device; and
// the read-back of the finished image.
#pragma once

#include <windows.h>
#include <ddraw.h>

// Runs the GPU frame for the display path `overlayFormat` with the pointer at `cursor` (render
// pixels) and the engine brightness.
void RenderFrame(unsigned overlayFormat, POINT cursor, int brightness);

// Draws the cursor sprite centred on (x, y) into the current render target, inside a scene.
void DrawInternalCursor(int x, int y);

// Copies the finished RGB image into the locked surface that `surface` describes.
void CopyFrameRGB(const DDSURFACEDESC* surface);

// Locks `surface` with `lockFlags`, copies the finished RGB image into it and unlocks it; the
// copy is skipped when the lock fails.
void CopyFrameRGBInto(IDirectDrawSurface* surface, DWORD lockFlags);
