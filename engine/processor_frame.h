// The processor's part of a frame on the lens window: the lens image handed to the plug-ins, the
// brightness applied and the internal cursor drawn, with the same pixels the Direct3D route
// gives. What it needs for a run (the cursor's sprite, the smooth scaler) is made once at the
// start, so that a frame allocates nothing.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include "d3dx/argb_image.h"
#include "lens_pixels.h"

class LensImage;

struct ProcessorFrame {
    // The cursor as the Direct3D route's texture holds it: the picture with its colour key made
    // transparent, at the sprite's size. Empty without an internal cursor.
    d3dx::ArgbImage cursor;
    SmoothScaler smooth;
};

// Loads the cursor sprite for `cursorType` from `module` and makes the smooth scaler for a lens
// of width x height. False when the scaler cannot be made; a sprite that cannot be loaded only
// leaves the cursor out, as on the Direct3D route.
bool PrepareProcessorFrame(ProcessorFrame& frame, HMODULE module, DWORD cursorType, UINT width,
                           UINT height);

// The lens image described for the plug-ins exactly as a locked capture texture is.
DDSURFACEDESC PluginFrame(const LensImage& image);

// The brightness applied to the lens image (not to transparent pixels' alpha), then the cursor
// sprite drawn over it centred on `cursor` (lens pixels), as the effect and the sprite's quad do.
void FinishOnProcessor(const ProcessorFrame& frame, LensImage& image, int brightness, POINT cursor);
