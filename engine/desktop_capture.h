// Desktop capture: the screen area under the lens, stretched to the lens size by GDI into the
// lens image, then made opaque (alpha 255) in the capture texture captureTexture or,
// for a frame that needs nothing Direct3D adds, in the lens image itself. Both give the same
// pixels.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include "capture_geometry.h"
#include "display_path.h"
#include "monitor_bounds.h"

class LensImage;
struct Renderer;

// Copies the source area (sx, sy, sw x sh) of the screen, stretched to the lens size, into the
// capture texture, using `target` (an image of lens size) as GDI's target. Source pixels outside
// `screen` are black. The path DisplayPath::kWindowByChoice ("Show one window") copies only the
// top-level window under the pointer and leaves the rest transparent.
void CaptureDesktop(Renderer& renderer, LensImage& target, const ScreenBounds& screen, int sx,
                    int sy, int sw, int sh, DisplayPath path);

// The same capture, finished in `image` itself instead of the texture.
void CaptureDesktopToImage(LensImage& image, const ScreenBounds& screen, int sx, int sy, int sw,
                           int sh, DisplayPath path);

// Locks the captured image for the plug-in filters and describes it in `frame` (whose dwSize the
// caller set): 0 with the image left locked, the lock's result, or -1 without an image.
HRESULT LockCapturedFrame(Renderer& renderer, DDSURFACEDESC* frame);
