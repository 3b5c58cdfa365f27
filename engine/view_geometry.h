// Where the full-screen and the docked views show and which part of the screen they magnify. No
// Windows headers: the frame loop hands in the monitor, the strip the shell granted and the point
// the view follows (the pointer or the caret, chosen as for the lens).
//
// A view shows a rectangle of the screen (a whole monitor, or the docked strip) and magnifies a
// source area of that size divided by the zoom. The source stays inside its bounds (the monitor
// under the followed point, less the docked strip on the strip's own monitor) wherever it fits,
// and follows the point by one of three rules:
// - centred: the point's pixel shows at the middle pixel of the view;
// - proportional: the point's place across its bounds is its place across the source, so that on
//   a whole monitor the magnified point lies under the pointer (the lens's "Full Screen" size
//   follows the same way);
// - push: the source stays where it is until the point comes within an eighth of the source's
//   side of its edge, and then moves just enough to keep that margin. A view that has not been
//   placed yet, or whose bounds changed, starts centred.
// Coordinates are physical pixels of the virtual screen; sums are formed in 64 bits.
#pragma once

#include <cstdint>

#include "engine_options.h"
#include "lens_placement.h"

// The docked strip's thickness across `edge` (a DockEdge) of `monitor`: `percent` of the
// monitor's height for the top and bottom edges, of its width for the left and right ones, at
// least one pixel.
int32_t DockThickness(const IntRect& monitor, uint32_t edge, uint32_t percent);
// The strip `thickness` pixels thick along `edge` of `area`.
IntRect StripAlong(const IntRect& area, uint32_t edge, int32_t thickness);

// What is left of `area` beside a strip that lies along its `edge`: the side of the area at that
// edge moved to the strip's inner side. Used for the monitor beside the docked view and for the
// work area the shell leaves.
IntRect BesideStrip(const IntRect& area, const IntRect& strip, uint32_t edge);

// What a view carries from frame to frame, for the push rule. Owned by the caller, one per run.
struct ViewFollow {
    bool placed = false;
    IntPoint source = {0, 0};
    IntRect bounds = {0, 0, 0, 0};
};

// One frame of a view.
struct ViewRequest {
    IntRect shown;     // the view on the screen
    IntRect bounds;    // where the source is kept
    uint32_t zoom;     // percent, kMinViewZoom..kMaxViewZoom
    uint32_t tracking; // ViewTracking
    IntPoint point;    // the followed point
};

struct ViewPlacement {
    LensPlacement placement; // lens: the shown rectangle; source: the source's top-left
    uint32_t sourceWidth;
    uint32_t sourceHeight;
};

// The view's source size: each side of the shown rectangle times 100 over the zoom, at least one
// pixel.
uint32_t ViewSourceSide(int32_t shownSide, uint32_t zoom);

// Places the view for one frame and updates `follow`. The point's pixel in the view
// (view.cursorInLens) is the middle of its magnified pixel, kept inside the view.
ViewPlacement PlaceView(const ViewRequest& request, ViewFollow* follow);
