// DirectDraw, set up at the start of every run to learn whether the display hardware can show the
// lens through an overlay: the DirectDraw object, a system-memory surface of lens size, the
// primary surface and a flippable overlay with one back buffer in the first pixel format the
// hardware takes. A run that shows the lens through the lens window releases all of it again.
// Used only by the magnifier thread.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstddef>
#include <cstdint>

#include "display_path.h"
#include "scoped_handles.h"

static_assert(sizeof(DDSURFACEDESC) == 108, "surface descriptions are 108 bytes");
static_assert(offsetof(DDSURFACEDESC, lPitch) == 16, "layout");
static_assert(offsetof(DDSURFACEDESC, lpSurface) == 36, "layout");
static_assert(offsetof(DDSURFACEDESC, ddpfPixelFormat) + offsetof(DDPIXELFORMAT, dwRGBBitCount) ==
                  84,
              "layout");
static_assert(sizeof(DDPIXELFORMAT) == 32, "pixel formats are 32 bytes");
static_assert(sizeof(DDOVERLAYFX) == 56, "the overlay effects record is 56 bytes");

// The DirectDraw objects of a run and the display path it chose. The run owns them; nothing of
// them outlives the run.
struct DisplaySurfaces {
    DisplaySurfaces() = default;
    // Releases whatever is still held.
    ~DisplaySurfaces();
    DisplaySurfaces(const DisplaySurfaces&) = delete;
    DisplaySurfaces& operator=(const DisplaySurfaces&) = delete;

    ComPtr<IDirectDraw2> directDraw;
    // Off-screen plain surface in system memory, lens size, 32-bit RGB ("lpDDSBackTransparent" in
    // the reports).
    ComPtr<IDirectDrawSurface> offscreen;
    ComPtr<IDirectDrawSurface> primary;
    // Video-memory overlay: flippable, complex, one back buffer, lens size.
    ComPtr<IDirectDrawSurface> overlay;
    // The overlay's back buffer for the RGB formats ("lpDDSBack2" in the reports).
    ComPtr<IDirectDrawSurface> rgbBackBuffer;
    // The overlay's back buffer for the packed YUV formats ("lpDDSFOURCC" in the reports).
    ComPtr<IDirectDrawSurface> yuvBackBuffer;
    // The display path of the run.
    DisplayPath path = DisplayPath::kOverlayRgbMasked;
};

// Sets up DirectDraw for a run with surfaces of width x height (the lens size). Sets the path to
// the overlay in the format the driver accepted, or to DisplayPath::kNoOverlay when it offers no
// visible overlay or takes none of the formats (not an error), and the brightness to 0. Returns 1
// when an overlay with its back buffer exists, else 0; a failed step has already run
// DirectDrawFailed.
int InitDirectDraw(DisplaySurfaces& display, DWORD width, DWORD height);
// Releases every DirectDraw object and reports `message` with `result` as code. Returns 0. The
// main program is not told: the lens window needs no DirectDraw, and the lens goes on in it.
int DirectDrawFailed(DisplaySurfaces& display, HRESULT result, const char* message);
// Hides the overlay and releases the overlay chain and the primary surface; keeps the DirectDraw
// object and the off-screen surface. Does nothing without a DirectDraw object.
void ReleaseOverlaySurfaces(DisplaySurfaces& display);
// Releases the off-screen surface, the overlay surfaces and the DirectDraw object.
void ReleaseDirectDraw(DisplaySurfaces& display);
