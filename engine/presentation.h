// How the finished frame reaches the screen on either display path: the overlay's show, hide,
// flip and moves with the frame loop's reactions to their results, and the lens window's update
// from the lens image.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include "lens_placement.h"

class LensImage;
class LensWindow;
struct LevelBadge;
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
    LensWindow* lensWindow = nullptr;
    // A plug-in shows the image itself: the engine's lens stays hidden, is neither presented nor
    // moved, while every frame is still captured, filtered and composed.
    bool pluginTakeover = false;
    // The level to stamp over this frame's finished image; null while none shows.
    const LevelBadge* level = nullptr;

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
// rectangle, or the frame read back into the overlay's back buffer and a flip; the level that
// shows over either. Nothing during a take-over.
void PresentFrame(Presentation& presentation, DisplaySurfaces& display, Renderer& renderer,
                  const LensImage& image, const IntRect& lens);

// A plug-in takes over the display: the overlay is hidden, or the lens window faded out and
// hidden, for as long as the take-over lasts.
void TakeOverDisplay(Presentation& presentation, DisplaySurfaces& display);
// The plug-in that had taken over is gone (it faulted and was switched off): the engine's lens
// comes back, the overlay shown again by the next frame, the lens window by this frame's image.
void GiveBackDisplay(Presentation& presentation, DisplaySurfaces& display);

// Moves the overlay when the pointer moved the lens; never during a take-over, nor after the
// frame's flip ended the run.
void MoveOverlay(Presentation& presentation, DisplaySurfaces& display,
                 const LensPlacement& placement, int pointerDriven);
