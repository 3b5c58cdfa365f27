// Which way a frame goes. A frame for the lens window stays on the processor: GDI copies the
// screen into the lens image, and the processor scales it when it is smooth, hands it to the
// plug-ins, applies the brightness and draws the internal cursor, without a round trip through
// Direct3D. A frame for the overlay goes through Direct3D, whose device fills the overlay's
// surfaces: the plug-ins filter the capture texture, the effect applies the brightness and the
// cursor sprite is drawn on top. Both give the same pixels. No Windows headers.
#pragma once

#include "display_path.h"

enum class FrameRoute { kDirect3D, kProcessor };

inline FrameRoute RouteFor(DisplayPath path) {
    return IsOverlayPath(path) ? FrameRoute::kDirect3D : FrameRoute::kProcessor;
}
