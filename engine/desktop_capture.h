// Desktop capture: the screen area under the lens brought to the lens size and made opaque
// (alpha 255), in the capture texture captureTexture for the Direct3D route or in the lens image
// itself for the processor route. Both give the same pixels. A sharp frame is stretched by GDI,
// every source pixel a block; a smooth one is copied unscaled and scaled bilinearly by the
// processor.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include "capture_geometry.h"
#include "display_path.h"
#include "monitor_bounds.h"

class LensImage;
struct Renderer;
struct SmoothScaler;

// The screen as a capture reads it: the bounds of the virtual screen, and a device context of the
// screen that the caller holds for a run of frames. Without one, each capture takes its own, which
// costs a trip to the window system every frame.
struct ScreenSource {
    ScreenSource(const ScreenBounds& screenBounds, HDC screenDc = nullptr)
        : bounds(screenBounds), dc(screenDc) {}
    ScreenBounds bounds;
    HDC dc;
};

// What a smooth frame on the processor route needs: the scaler and an image of lens size that
// takes the unscaled source. An empty one captures sharply.
struct SmoothCapture {
    SmoothScaler* scaler = nullptr;
    LensImage* source = nullptr;
};

// Copies the source area (sx, sy, sw x sh) of the screen, stretched to the lens size, into the
// capture texture, using `target` (an image of lens size) as GDI's target. Source pixels outside
// the screen's bounds are black. The path DisplayPath::kWindowByChoice ("Show one window") copies
// only the top-level window under the pointer and leaves the rest transparent. With `smooth`, a
// source the scaler takes (at least 2 x 2 pixels, at most the lens size) goes unscaled into
// `target` and is scaled bilinearly into the texture; any other is stretched as without it.
void CaptureDesktop(Renderer& renderer, LensImage& target, const ScreenSource& screen, int sx,
                    int sy, int sw, int sh, DisplayPath path, SmoothScaler* smooth = nullptr);

// The same capture, finished in `image` itself instead of the texture; smooth through
// `smooth.source` when `smooth` is given and takes the source.
void CaptureDesktopToImage(LensImage& image, const ScreenSource& screen, int sx, int sy, int sw,
                           int sh, DisplayPath path, const SmoothCapture& smooth = {});

// Fills in `frame` (whose dwSize the caller set) as the plug-ins get every frame: the size, the
// pitch, the pixels and 32 bits a pixel, nothing else.
void DescribeFrame(DDSURFACEDESC* frame, UINT width, UINT height, LONG pitch, void* bits);

// Locks the captured image for the plug-in filters and describes it in `frame` (whose dwSize the
// caller set): 0 with the image left locked, the lock's result, or -1 without an image.
HRESULT LockCapturedFrame(Renderer& renderer, DDSURFACEDESC* frame);
