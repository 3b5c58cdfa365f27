// How the finished frame reaches the screen on either display path: the overlay's show, hide,
// flip and moves with the frame loop's reactions to their results, and the lens window's update
// from the lens image.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include "lens_placement.h"

class LensImage;
class OverlayWindow;
struct DisplaySurfaces;
struct Renderer;

// The overlay's state during a run and the reasons a run may end from the display side.
struct Presentation {
    Presentation();
    int overlayShown = 1;               // the loop does not show the overlay again on its own
    HRESULT lastPositionResult = DD_OK; // of the last SetOverlayPosition
    IntPoint lastOverlayPoint = {1, 1};
    bool surfaceLost = false;   // a surface or the device was lost for good, or the overlay busy
    bool presentFailed = false; // a flip or a move failed otherwise
    DDOVERLAYFX effects;        // zeroed, size 56
    OverlayWindow* lensWindow = nullptr;

    bool Ended() const { return surfaceLost || presentFailed; }
};

// Shows the overlay at `where`; the result of UpdateOverlay.
HRESULT ShowOverlay(Presentation& presentation, DisplaySurfaces& display, const IntRect& where);
// Hides the overlay; the result of UpdateOverlay.
HRESULT HideOverlay(DisplaySurfaces& display);

// Frame steps that decide whether this frame captures and presents at all: while the overlay
// sits at an invalid position it is kept hidden, and a hidden overlay is shown again first.
// False when the frame skips capture and presentation.
bool PrepareOverlay(Presentation& presentation, DisplaySurfaces& display, const IntRect& lens);

// Puts the finished frame on the screen: the lens image in the lens window at the lens
// rectangle, or the frame read back into the overlay's back buffer and a flip.
void PresentFrame(Presentation& presentation, DisplaySurfaces& display, Renderer& renderer,
                  const LensImage& image, const IntRect& lens);

// Moves the overlay when the pointer moved the lens.
void MoveOverlay(Presentation& presentation, DisplaySurfaces& display,
                 const LensPlacement& placement, int pointerDriven);
