// The views a run shows beyond the lens: the full-screen view of the monitor under the followed
// point and the docked view in a strip the shell reserves for it. The view is read from the
// options every frame and changes within the run: the run's images and Direct3D resources take
// the size of the view shown (remade only when that size changes), and every view is shown by the
// lens window, so that a change never leaves the screen without a magnified image. On the
// overlay path the lens keeps its overlay, and the other views use a lens window of their own.
#pragma once

#include <windows.h>

#include <memory>

#include "display_path.h"
#include "docked_strip.h"
#include "engine_options.h"
#include "lens_placement.h"
#include "view_geometry.h"

class LensImage;
class LensWindow;
struct DisplaySurfaces;
struct Presentation;
struct Renderer;

// The views' part of one run, owned by the frame loop.
struct ViewRun {
    uint32_t shown = kViewLens;                     // the view of the last frame
    DisplayPath lensPath = DisplayPath::kNoOverlay; // the lens's path, chosen at the start
    // A view whose images could not be made: the lens is shown instead until another is chosen.
    uint32_t refused = kViewCount;
    ViewFollow follow;
    DockedStrip dock;
};

// What a change of view touches on the display side.
struct ViewDisplay {
    DisplaySurfaces& display;
    Presentation& presentation;
    std::unique_ptr<LensWindow>& window;
};

// The view to show for the options' `view`: that view, or the lens while it is the refused one.
uint32_t ViewToShow(ViewRun& views, uint32_t view);

// Makes the run ready for `view` when it is not the one shown: leaving the docked view gives its
// strip back; a new view starts centred. On the overlay path, leaving the lens hides the overlay
// and shows the lens window (made now if the run has none), and coming back to the lens hides
// that window and lets the next frame show the overlay again.
void EnterView(ViewRun& views, const ViewDisplay& parts, uint32_t view);

// The full-screen or the docked view's placement for this frame around the followed `point`, on
// the monitors `lens` tells of. The docked view reserves (or moves) its strip for `window` first,
// on the monitor it was docked on, or on the one under the point once that monitor is gone.
ViewPlacement PlaceOtherView(ViewRun& views, const EngineOptions& options, const LensRun& lens,
                             IntPoint point, HWND window);

// Gives the run's images and Direct3D resources the size of `shown`, when they have another:
// false when they cannot have it (reported; the images then keep their size).
bool FitImages(Renderer& renderer, LensImage& image, LensImage& capture, const IntRect& shown);
