#include "overlay.h"

#include "engine_seams.h"
#include "engine_state.h"
#include "error_reporter.h"

namespace {

constexpr DWORD kRedMask = 0x00FF0000;
constexpr DWORD kGreenMask = 0x0000FF00;
constexpr DWORD kBlueMask = 0x000000FF;

constexpr DDPIXELFORMAT RgbFormat(DWORD red, DWORD green, DWORD blue) {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = 32;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
    return format;
}

constexpr DDPIXELFORMAT FourCCFormat(DWORD code) {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof(DDPIXELFORMAT);
    format.dwFlags = DDPF_FOURCC;
    format.dwFourCC = code;
    return format;
}

// The overlay pixel formats, tried in this order: DisplayPath 0 to 3.
const DDPIXELFORMAT kOverlayFormats[kOverlayFormatCount] = {
    RgbFormat(kRedMask, kGreenMask, kBlueMask),
    RgbFormat(0, 0, 0),
    FourCCFormat(MAKEFOURCC('Y', 'U', 'Y', '2')),
    FourCCFormat(MAKEFOURCC('U', 'Y', 'V', 'Y')),
};

// The overlay is only worth negotiating when the driver says it can show one: some drivers let
// overlay surfaces be created and shown without anything ever reaching the screen.
bool DriverShowsOverlays(IDirectDraw2* directDraw) {
    DDCAPS caps = {};
    caps.dwSize = sizeof(caps);
    if (FAILED(directDraw->GetCaps(&caps, nullptr))) {
        return false;
    }
    return (caps.dwCaps & DDCAPS_OVERLAY) != 0 && caps.dwMaxVisibleOverlays > 0;
}

HRESULT CreateBackTransparent(DisplaySurfaces& display, DWORD width, DWORD height) {
    DDSURFACEDESC description = {};
    description.dwSize = sizeof(description);
    description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    description.dwWidth = width;
    description.dwHeight = height;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    description.ddpfPixelFormat = RgbFormat(kRedMask, kGreenMask, kBlueMask);
    return display.directDraw->CreateSurface(&description, display.offscreen.Put(), nullptr);
}

HRESULT CreatePrimary(DisplaySurfaces& display) {
    DDSURFACEDESC description = {};
    description.dwSize = sizeof(description);
    description.dwFlags = DDSD_CAPS;
    description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return display.directDraw->CreateSurface(&description, display.primary.Put(), nullptr);
}

// Tries the overlay formats in order and leaves the path at the first one the driver takes, or
// at DisplayPath::kNoOverlay.
void NegotiateOverlay(DisplaySurfaces& display, DWORD width, DWORD height) {
    display.path = DisplayPath::kNoOverlay;
    if (!DriverShowsOverlays(display.directDraw.Get())) {
        return;
    }
    DDSURFACEDESC description = {};
    description.dwSize = sizeof(description);
    description.dwFlags =
        DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_BACKBUFFERCOUNT | DDSD_PIXELFORMAT;
    description.dwWidth = width;
    description.dwHeight = height;
    description.dwBackBufferCount = 1;
    description.ddsCaps.dwCaps =
        DDSCAPS_OVERLAY | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    for (int format = 0; format < kOverlayFormatCount; ++format) {
        description.ddpfPixelFormat = kOverlayFormats[format];
        if (SUCCEEDED(
                display.directDraw->CreateSurface(&description, display.overlay.Put(), nullptr))) {
            display.path = static_cast<DisplayPath>(format);
            return;
        }
    }
}

} // namespace

DisplaySurfaces::~DisplaySurfaces() {
    ReleaseDirectDraw(*this);
}

int InitDirectDraw(DisplaySurfaces& display, DWORD width, DWORD height) {
    // A set-up always starts from nothing, so that objects of an earlier one cannot leak.
    ReleaseDirectDraw(display);

    // What a failed call writes into its result is not taken over.
    IDirectDraw* created = nullptr;
    HRESULT result = Seams().directDrawCreate(nullptr, &created, nullptr);
    if (FAILED(result)) {
        return DirectDrawFailed(display, result, "DirectDrawCreate");
    }
    ComPtr<IDirectDraw> first;
    first.Reset(created);
    void* second = nullptr;
    result = first->QueryInterface(IID_IDirectDraw2, &second);
    first.Reset(); // only the second interface is kept
    if (FAILED(result)) {
        return DirectDrawFailed(display, result, "QueryInterface");
    }
    display.directDraw.Reset(static_cast<IDirectDraw2*>(second));
    result = display.directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    if (result != DD_OK) {
        return DirectDrawFailed(display, result, "SetCooperativeLevel");
    }
    result = CreateBackTransparent(display, width, height);
    if (result != DD_OK) {
        return DirectDrawFailed(display, result, "CreateSurface lpDDSBackTransparent");
    }
    result = CreatePrimary(display);
    if (result != DD_OK) {
        return DirectDrawFailed(display, result, "CreateSurface lpDDSPrimary");
    }

    NegotiateOverlay(display, width, height);
    // Every overlay set-up clears the brightness until the main program sets it again.
    InterlockedExchange(&Engine().brightness, 0);

    DDSCAPS backBuffer = {};
    backBuffer.dwCaps = DDSCAPS_BACKBUFFER;
    if (IsPackedYuvPath(display.path)) {
        result = display.overlay->GetAttachedSurface(&backBuffer, display.yuvBackBuffer.Put());
        if (result != DD_OK) {
            return DirectDrawFailed(display, result, "DDSCAPS_BACKBUFFER, lpDDSFOURCC");
        }
    } else if (IsOverlayPath(display.path)) {
        result = display.overlay->GetAttachedSurface(&backBuffer, display.rgbBackBuffer.Put());
        if (result != DD_OK) {
            return DirectDrawFailed(display, result, "DDSCAPS_BACKBUFFER, lpDDSBack2");
        }
    }
    return IsOverlayPath(display.path) ? 1 : 0;
}

int DirectDrawFailed(DisplaySurfaces& display, HRESULT result, const char* message) {
    ReleaseDirectDraw(display);
    ReportError(message, static_cast<int>(result), "magnifier");
    return 0;
}

void ReleaseOverlaySurfaces(DisplaySurfaces& display) {
    if (display.directDraw == nullptr) {
        return;
    }
    if (display.overlay != nullptr) {
        display.overlay->UpdateOverlay(nullptr, display.primary.Get(), nullptr, DDOVER_HIDE,
                                       nullptr);
    }
    display.rgbBackBuffer.Reset();
    display.yuvBackBuffer.Reset();
    display.overlay.Reset();
    display.primary.Reset();
}

void ReleaseDirectDraw(DisplaySurfaces& display) {
    display.offscreen.Reset();
    ReleaseOverlaySurfaces(display);
    display.directDraw.Reset();
}
