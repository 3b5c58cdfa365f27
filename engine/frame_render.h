// Frame composition: the captured image drawn through the effect into the RGB render buffer with
// the brightness applied, the internal cursor on top; and the read-back of the finished image.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include "display_path.h"

struct Renderer;

// Draws the frame for the display path `path` with the pointer at `cursor` (render
// pixels) and the engine brightness; for a packed-YUV overlay (formats 2 and 3) it also packs
// the image into the device's back buffer when the effect and the device can. Nothing waits for
// the GPU here: the read-back that follows does.
void RenderFrame(Renderer& renderer, DisplayPath path, POINT cursor, int brightness);

// Draws the cursor sprite centred on (x, y) into the current render target, inside a scene.
void DrawInternalCursor(Renderer& renderer, int x, int y);

// Reads the finished RGB image back into the locked 32-bit surface that `surface` describes; a
// surface into which the frame cannot be read back keeps its content. A device reported lost
// here is noted for the next frame.
void CopyFrameRGB(Renderer& renderer, const DDSURFACEDESC* surface);

// Reads the finished image back into the locked packed-YUV surface that `surface` describes, in
// the byte order of `path` (YUY2 or UYVY): the rows the packing pass made, or, when it
// did not run this frame, the RGB image converted on the processor.
void CopyFramePackedYUV(Renderer& renderer, const DDSURFACEDESC* surface, DisplayPath path);

// Locks `surface` with `lockFlags`, reads the finished frame back into it in the form of the
// display path `path` (packed YUV for the YUY2 and UYVY overlays, else 32-bit RGB) and unlocks it;
// the copy is skipped when the lock fails.
void CopyFrameInto(Renderer& renderer, IDirectDrawSurface* surface, DWORD lockFlags,
                   DisplayPath path);
