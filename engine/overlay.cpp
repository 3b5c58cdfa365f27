#include "overlay.h"

#include "engine_state.h"
#include "error_reporter.h"

IDirectDraw2* lpDD = nullptr;
IDirectDrawSurface* lpDDSBackTransparent = nullptr;
IDirectDrawSurface* lpDDSPrimary = nullptr;
IDirectDrawSurface* lpDDSOverlay = nullptr;
IDirectDrawSurface* lpDDSBack2 = nullptr;
IDirectDrawSurface* lpDDSFOURCC = nullptr;
uint8_t bOverlayFormats = kOverlayRgbMasked;
DDCOLORCONTROL colorControl = {};

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

DirectDrawCreateFn g_Create = DirectDrawCreate;

template <class T> void ReleaseAndClear(T*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

// The overlay is only worth negotiating when the driver says it can show one: some drivers let
// overlay surfaces be created and shown without anything ever reaching the screen.
bool DriverShowsOverlays() {
    DDCAPS caps = {};
    caps.dwSize = sizeof(caps);
    if (FAILED(lpDD->GetCaps(&caps, nullptr))) {
        return false;
    }
    return (caps.dwCaps & DDCAPS_OVERLAY) != 0 && caps.dwMaxVisibleOverlays > 0;
}

HRESULT CreateBackTransparent(DWORD width, DWORD height) {
    DDSURFACEDESC description = {};
    description.dwSize = sizeof(description);
    description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    description.dwWidth = width;
    description.dwHeight = height;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    description.ddpfPixelFormat = RgbFormat(kRedMask, kGreenMask, kBlueMask);
    return lpDD->CreateSurface(&description, &lpDDSBackTransparent, nullptr);
}

HRESULT CreatePrimary() {
    DDSURFACEDESC description = {};
    description.dwSize = sizeof(description);
    description.dwFlags = DDSD_CAPS;
    description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return lpDD->CreateSurface(&description, &lpDDSPrimary, nullptr);
}

// Tries the formats of overlayFormatTable in order and leaves bOverlayFormats at the first one
// the driver takes, or at 4.
void NegotiateOverlay(DWORD width, DWORD height) {
    bOverlayFormats = kOverlayRgbMasked;
    if (!DriverShowsOverlays()) {
        bOverlayFormats = kNoOverlay;
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
    while (bOverlayFormats < kNoOverlay) {
        description.ddpfPixelFormat = overlayFormatTable[bOverlayFormats];
        if (SUCCEEDED(lpDD->CreateSurface(&description, &lpDDSOverlay, nullptr))) {
            return;
        }
        ++bOverlayFormats;
    }
}

// Clearing the colour control clears the brightness with it.
void ClearColorControl() {
    colorControl = DDCOLORCONTROL{};
    colorControl.dwSize = sizeof(DDCOLORCONTROL);
    colorControl.dwFlags = DDCOLOR_BRIGHTNESS;
    InterlockedExchange(&g_Brightness, 0);
}

} // namespace

const DDPIXELFORMAT overlayFormatTable[kOverlayFormatCount] = {
    RgbFormat(kRedMask, kGreenMask, kBlueMask),
    RgbFormat(0, 0, 0),
    FourCCFormat(MAKEFOURCC('Y', 'U', 'Y', '2')),
    FourCCFormat(MAKEFOURCC('U', 'Y', 'V', 'Y')),
};

DirectDrawCreateFn SetDirectDrawCreate(DirectDrawCreateFn create) {
    const DirectDrawCreateFn previous = g_Create;
    g_Create = create != nullptr ? create : DirectDrawCreate;
    return previous;
}

int InitDirectDraw() {
    // A set-up always starts from nothing, so that objects of an earlier one cannot leak.
    ReleaseDirectDraw();
    const DWORD width = LoadShared(g_Params->lensWidth);
    const DWORD height = LoadShared(g_Params->lensHeight);

    IDirectDraw* first = nullptr;
    HRESULT result = g_Create(nullptr, &first, nullptr);
    if (FAILED(result)) {
        return DirectDrawFailed(result, "DirectDrawCreate");
    }
    result = first->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&lpDD));
    first->Release();
    if (FAILED(result)) {
        lpDD = nullptr;
        return DirectDrawFailed(result, "QueryInterface");
    }
    result = lpDD->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    if (result != DD_OK) {
        return DirectDrawFailed(result, "SetCooperativeLevel");
    }
    result = CreateBackTransparent(width, height);
    if (result != DD_OK) {
        return DirectDrawFailed(result, "CreateSurface lpDDSBackTransparent");
    }
    result = CreatePrimary();
    if (result != DD_OK) {
        return DirectDrawFailed(result, "CreateSurface lpDDSPrimary");
    }

    NegotiateOverlay(width, height);
    ClearColorControl();

    DDSCAPS backBuffer = {};
    backBuffer.dwCaps = DDSCAPS_BACKBUFFER;
    if (bOverlayFormats == kOverlayYuy2 || bOverlayFormats == kOverlayUyvy) {
        result = lpDDSOverlay->GetAttachedSurface(&backBuffer, &lpDDSFOURCC);
        if (result != DD_OK) {
            return DirectDrawFailed(result, "DDSCAPS_BACKBUFFER, lpDDSFOURCC");
        }
    } else if (bOverlayFormats == kOverlayRgbMasked || bOverlayFormats == kOverlayRgb) {
        result = lpDDSOverlay->GetAttachedSurface(&backBuffer, &lpDDSBack2);
        if (result != DD_OK) {
            return DirectDrawFailed(result, "DDSCAPS_BACKBUFFER, lpDDSBack2");
        }
    }
    return bOverlayFormats <= kOverlayUyvy ? 1 : 0;
}

int DirectDrawFailed(HRESULT result, const char* message) {
    ReleaseDirectDraw();
    ReportError(message, static_cast<int>(result), "magnifier");
    SendNotification(kNotifySetupFailed);
    return 0;
}

void ReleaseOverlaySurfaces() {
    if (lpDD == nullptr) {
        return;
    }
    if (lpDDSOverlay != nullptr) {
        lpDDSOverlay->UpdateOverlay(nullptr, lpDDSPrimary, nullptr, DDOVER_HIDE, nullptr);
    }
    ReleaseAndClear(lpDDSBack2);
    ReleaseAndClear(lpDDSFOURCC);
    ReleaseAndClear(lpDDSOverlay);
    ReleaseAndClear(lpDDSPrimary);
}

void ReleaseDirectDraw() {
    ReleaseAndClear(lpDDSBackTransparent);
    ReleaseOverlaySurfaces();
    ReleaseAndClear(lpDD);
}
