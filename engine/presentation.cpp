#include "presentation.h"

#include <cstdio>
#include <cstring>

#include "error_reporter.h"
#include "frame_render.h"
#include "lens_window.h"
#include "overlay.h"

namespace {

constexpr DWORD kBackBufferLock = DDLOCK_WAIT | DDLOCK_WRITEONLY | DDLOCK_NOSYSLOCK; // 0x821
constexpr DWORD kPositionPauseMs = 100;

RECT ToRect(const IntRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

// Restores the primary surface, then the overlay, then the window path's surface. True when the
// primary and the overlay are usable again.
bool RestoreSurfaces() {
    bool restored = SUCCEEDED(lpDDSPrimary->Restore()) && SUCCEEDED(lpDDSOverlay->Restore());
    if (lpDDSBackTransparent != nullptr) {
        lpDDSBackTransparent->Restore();
    }
    return restored;
}

void PresentThroughWindow(Presentation& presentation, const IntRect& lens, UINT lensWidth,
                          UINT lensHeight) {
    if (lpDDSBackTransparent == nullptr) {
        return; // the DirectDraw set-up failed; the main program closes the engine
    }
    CopyFrameRGBInto(lpDDSBackTransparent, DDLOCK_WAIT);
    HDC source = nullptr;
    if (FAILED(lpDDSBackTransparent->GetDC(&source))) {
        return;
    }
    if (presentation.lensWindow != nullptr) {
        presentation.lensWindow->Present(
            source, SIZE{static_cast<LONG>(lensWidth), static_cast<LONG>(lensHeight)},
            POINT{lens.left, lens.top});
    }
    lpDDSBackTransparent->ReleaseDC(source);
}

void PresentThroughOverlay(Presentation& presentation) {
    if (bOverlayFormats == kOverlayRgbMasked || bOverlayFormats == kOverlayRgb) {
        CopyFrameRGBInto(lpDDSBack2, kBackBufferLock);
    }
    const HRESULT flipped = lpDDSOverlay->Flip(nullptr, DDFLIP_WAIT);
    if (flipped == DD_OK) {
        return;
    }
    if (flipped == DDERR_SURFACELOST) {
        presentation.surfaceLost = !RestoreSurfaces();
    } else if (flipped == DDERR_SURFACEBUSY) {
        presentation.surfaceLost = true;
    } else {
        char text[64];
        std::snprintf(text, sizeof(text), "FAILED - lpDDSOverlay->Flip - bOverlayFormats: %d",
                      bOverlayFormats);
        ReportError(text, flipped, "magnifier");
        presentation.presentFailed = true;
    }
}

} // namespace

Presentation::Presentation() {
    std::memset(&effects, 0, sizeof(effects));
    effects.dwSize = sizeof(effects);
}

bool OnOverlayPath() {
    return bOverlayFormats < kNoOverlay;
}

HRESULT ShowOverlay(Presentation& presentation, const IntRect& where) {
    RECT destination = ToRect(where);
    return lpDDSOverlay->UpdateOverlay(nullptr, lpDDSPrimary, &destination, DDOVER_SHOW,
                                       &presentation.effects);
}

HRESULT HideOverlay() {
    return lpDDSOverlay->UpdateOverlay(nullptr, lpDDSPrimary, nullptr, DDOVER_HIDE, nullptr);
}

bool PrepareOverlay(Presentation& presentation, const IntRect& lens) {
    if (!OnOverlayPath()) {
        return true;
    }
    if (presentation.lastPositionResult == DDERR_INVALIDPOSITION) {
        if (presentation.overlayShown == 1 && SUCCEEDED(HideOverlay())) {
            presentation.overlayShown = 0;
        }
        return false;
    }
    if (presentation.overlayShown == 0) {
        if (FAILED(ShowOverlay(presentation, lens))) {
            return false;
        }
        presentation.overlayShown = 1;
    }
    return true;
}

void PresentFrame(Presentation& presentation, const IntRect& lens, UINT lensWidth,
                  UINT lensHeight) {
    if (OnOverlayPath()) {
        PresentThroughOverlay(presentation);
    } else {
        PresentThroughWindow(presentation, lens, lensWidth, lensHeight);
    }
}

void MoveOverlay(Presentation& presentation, const LensPlacement& placement, int pointerDriven) {
    if (placement.point == presentation.lastOverlayPoint || !pointerDriven) {
        return;
    }
    presentation.lastOverlayPoint = placement.point;
    if (!OnOverlayPath()) {
        return;
    }
    const HRESULT moved = lpDDSOverlay->SetOverlayPosition(placement.lens.left, placement.lens.top);
    presentation.lastPositionResult = moved;
    if (moved == DD_OK) {
        return;
    }
    if (moved == DDERR_SURFACELOST) {
        presentation.surfaceLost = !RestoreSurfaces();
    } else if (moved == DDERR_INVALIDPOSITION) {
        Sleep(kPositionPauseMs);
    } else if (moved == DDERR_OVERLAYNOTVISIBLE) {
        Sleep(kPositionPauseMs);
        presentation.overlayShown = 0;
    } else {
        ReportError("FAILED - SetOverlayPosition", moved, "magnifier");
        presentation.presentFailed = true;
    }
}
