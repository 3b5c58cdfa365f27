// DirectDraw for both display paths: the DirectDraw object, the system-memory surface of lens size
// that the lens window and the clipboard copy draw from, the primary surface and a flippable
// overlay with one back buffer in the first pixel format the display hardware takes.
// Used only by the magnifier thread.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstddef>
#include <cstdint>

static_assert(sizeof(DDSURFACEDESC) == 108, "surface descriptions are 108 bytes");
static_assert(offsetof(DDSURFACEDESC, lPitch) == 16, "layout");
static_assert(offsetof(DDSURFACEDESC, lpSurface) == 36, "layout");
static_assert(offsetof(DDSURFACEDESC, ddpfPixelFormat) + offsetof(DDPIXELFORMAT, dwRGBBitCount) ==
                  84,
              "layout");
static_assert(sizeof(DDPIXELFORMAT) == 32, "pixel formats are 32 bytes");
static_assert(sizeof(DDCOLORCONTROL) == 40, "the colour control record is 40 bytes");
static_assert(sizeof(DDOVERLAYFX) == 56, "the overlay effects record is 56 bytes");

// Values of bOverlayFormats: 0 to 3 name the overlay's pixel format (an index into
// overlayFormatTable), 4 and 5 the lens window.
enum OverlayFormat : uint8_t {
    kOverlayRgbMasked = 0, // 32-bit RGB with explicit masks
    kOverlayRgb = 1,       // 32-bit RGB, masks left to the driver
    kOverlayYuy2 = 2,      // packed YUV "YUY2"
    kOverlayUyvy = 3,      // packed YUV "UYVY"
    kNoOverlay = 4,        // no overlay could be used: lens window
    kWindowByChoice = 5,   // the lens window was chosen: lens window
};
constexpr int kOverlayFormatCount = 4;

extern IDirectDraw2* lpDD;
// Off-screen plain surface in system memory, lens size, 32-bit RGB.
extern IDirectDrawSurface* lpDDSBackTransparent;
extern IDirectDrawSurface* lpDDSPrimary;
// Video-memory overlay: flippable, complex, one back buffer, lens size.
extern IDirectDrawSurface* lpDDSOverlay;
// The overlay's back buffer for the RGB formats (0 and 1).
extern IDirectDrawSurface* lpDDSBack2;
// The overlay's back buffer for the packed YUV formats (2 and 3).
extern IDirectDrawSurface* lpDDSFOURCC;
// The display path of the run (see OverlayFormat).
extern uint8_t bOverlayFormats;
// The overlay pixel formats, tried in this order.
extern const DDPIXELFORMAT overlayFormatTable[kOverlayFormatCount];
// Cleared at every set-up to size 40 and the brightness flag; never handed to DirectDraw.
extern DDCOLORCONTROL colorControl;

// Sets up DirectDraw for a run, sizing the surfaces from the lens size of the start parameters.
// Sets bOverlayFormats to the accepted format, or to 4 when the display driver offers no visible
// overlay or takes none of the formats (not an error), and the brightness to 0. Returns 1 when an
// overlay with its back buffer exists, else 0; a failed step has already run DirectDrawFailed.
int InitDirectDraw();
// Releases every DirectDraw object, reports `message` with `result` as code, sends notification 0
// to the main program. Returns 0.
int DirectDrawFailed(HRESULT result, const char* message);
// Hides the overlay and releases the overlay chain and the primary surface; keeps lpDD and
// lpDDSBackTransparent. Does nothing without a DirectDraw object.
void ReleaseOverlaySurfaces();
// Releases lpDDSBackTransparent, the overlay surfaces and lpDD.
void ReleaseDirectDraw();

// The creation function InitDirectDraw reaches DirectDraw through.
typedef HRESULT(WINAPI* DirectDrawCreateFn)(GUID* driver, IDirectDraw** object, IUnknown* outer);
// Makes InitDirectDraw use `create` (null: DirectDrawCreate of ddraw.dll); returns the one in use
// before.
DirectDrawCreateFn SetDirectDrawCreate(DirectDrawCreateFn create);
