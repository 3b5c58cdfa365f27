#include "presentation.h"

#include <cstdio>
#include <cstring>

#include "error_reporter.h"
#include "frame_render.h"
#include "lens_image.h"
#include "lens_window.h"
#include "level_badge.h"
#include "overlay.h"
#include "run_control.h"

namespace {

constexpr DWORD kBackBufferLock = DDLOCK_WAIT | DDLOCK_WRITEONLY | DDLOCK_NOSYSLOCK; // 0x821
constexpr DWORD kPositionPauseMs = 100;

RECT ToRect(const IntRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

// Restores the primary surface, then the overlay, then the system-memory surface. True when the
// primary and the overlay are usable again.
bool RestoreSurfaces(DisplaySurfaces& display) {
    bool restored = SUCCEEDED(display.primary->Restore()) && SUCCEEDED(display.overlay->Restore());
    if (display.offscreen != nullptr) {
        display.offscreen->Restore();
    }
    return restored;
}

void PresentThroughOverlay(Presentation& presentation, DisplaySurfaces& display,
                           Renderer& renderer) {
    const DisplayPath path = display.path;
    IDirectDrawSurface* back =
        IsPackedYuvPath(path) ? display.yuvBackBuffer.Get() : display.rgbBackBuffer.Get();
    CopyFrameInto(renderer, back, kBackBufferLock, path);
    if (presentation.level != nullptr) {
        StampLevel(*presentation.level, back, path);
    }
    const HRESULT flipped = display.overlay->Flip(nullptr, DDFLIP_WAIT);
    if (flipped == DD_OK) {
        return;
    }
    if (flipped == DDERR_SURFACELOST) {
        presentation.surfaceLost = !RestoreSurfaces(display);
    } else if (flipped == DDERR_SURFACEBUSY) {
        presentation.surfaceLost = true;
    } else {
        char text[64];
        std::snprintf(text, sizeof(text), "FAILED - lpDDSOverlay->Flip - bOverlayFormats: %d",
                      PathNumber(display.path));
        ReportError(text, flipped, "magnifier");
        presentation.presentFailed = true;
    }
}

} // namespace

Presentation::Presentation() {
    std::memset(&effects, 0, sizeof(effects));
    effects.dwSize = sizeof(effects);
}

HRESULT ShowOverlay(Presentation& presentation, DisplaySurfaces& display, const IntRect& where) {
    RECT destination = ToRect(where);
    return display.overlay->UpdateOverlay(nullptr, display.primary.Get(), &destination, DDOVER_SHOW,
                                          &presentation.effects);
}

HRESULT HideOverlay(DisplaySurfaces& display) {
    return display.overlay->UpdateOverlay(nullptr, display.primary.Get(), nullptr, DDOVER_HIDE,
                                          nullptr);
}

bool PrepareOverlay(Presentation& presentation, DisplaySurfaces& display, const IntRect& lens) {
    if (!IsOverlayPath(display.path)) {
        return true;
    }
    if (presentation.lastPositionResult == DDERR_INVALIDPOSITION) {
        if (presentation.overlayShown == 1 && SUCCEEDED(HideOverlay(display))) {
            presentation.overlayShown = 0;
        }
        return false;
    }
    if (presentation.overlayShown == 0) {
        if (FAILED(ShowOverlay(presentation, display, lens))) {
            return false;
        }
        presentation.overlayShown = 1;
    }
    return true;
}

void PresentFrame(Presentation& presentation, DisplaySurfaces& display, Renderer& renderer,
                  const LensImage& image, const IntRect& lens) {
    if (presentation.pluginTakeover) {
        return;
    }
    if (IsOverlayPath(display.path)) {
        PresentThroughOverlay(presentation, display, renderer);
    } else if (presentation.lensWindow != nullptr) {
        if (presentation.level != nullptr) {
            StampLevel(*presentation.level, image);
        }
        presentation.lensWindow->Present(image.Dc(), image.Size(), POINT{lens.left, lens.top});
    }
}

void TakeOverDisplay(Presentation& presentation, DisplaySurfaces& display) {
    presentation.pluginTakeover = true;
    if (display.overlay != nullptr) {
        HideOverlay(display);
    }
    if (presentation.lensWindow != nullptr) {
        presentation.lensWindow->FadeOutAndHide();
    }
    presentation.overlayShown = 1;
}

void GiveBackDisplay(Presentation& presentation, DisplaySurfaces& display) {
    presentation.pluginTakeover = false;
    if (IsOverlayPath(display.path)) {
        presentation.overlayShown = 0;
    } else if (presentation.lensWindow != nullptr && presentation.lensWindow->Window() != nullptr) {
        ShowWindow(presentation.lensWindow->Window(), SW_SHOWNA);
    }
}

void MoveOverlay(Presentation& presentation, DisplaySurfaces& display,
                 const LensPlacement& placement, int pointerDriven) {
    // A flip that ended the run has the last word on why it ended.
    if (presentation.Ended() || presentation.pluginTakeover ||
        placement.point == presentation.lastOverlayPoint || !pointerDriven) {
        return;
    }
    presentation.lastOverlayPoint = placement.point;
    if (!IsOverlayPath(display.path)) {
        return;
    }
    const HRESULT moved =
        display.overlay->SetOverlayPosition(placement.lens.left, placement.lens.top);
    presentation.lastPositionResult = moved;
    if (moved == DD_OK) {
        return;
    }
    if (moved == DDERR_SURFACELOST) {
        presentation.surfaceLost = !RestoreSurfaces(display);
    } else if (moved == DDERR_INVALIDPOSITION) {
        PauseUnlessClosed(kPositionPauseMs);
    } else if (moved == DDERR_OVERLAYNOTVISIBLE) {
        PauseUnlessClosed(kPositionPauseMs);
        presentation.overlayShown = 0;
    } else {
        ReportError("FAILED - SetOverlayPosition", moved, "magnifier");
        presentation.presentFailed = true;
    }
}
