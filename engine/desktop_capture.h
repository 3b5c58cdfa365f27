// Desktop capture: the screen area under the lens, stretched to the render size, in
// g_Texture_BackgroundStretch.
#pragma once

#include <windows.h>
#include <ddraw.h>

// Copies the source area (sx, sy, sw x sh) of the screen, stretched to W x H, into the capture
// texture. overlayFormat 5 ("Show one window") copies only the top-level window under the
// pointer and leaves the rest transparent.
void CaptureDesktop(int sx, int sy, int sw, int sh, unsigned overlayFormat);

// Locks the captured image for the plug-in filters and describes it in `frame` (whose dwSize the
// caller set): 0 with the image left locked, the lock's result, or -1 without an image.
HRESULT LockCapturedFrame(DDSURFACEDESC* frame);
