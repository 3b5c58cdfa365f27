#include "frame_route.h"

#include "brightness.h"

FrameRoute ChooseFrameRoute(const FrameNeeds& needs) {
    const bool unchanged =
        needs.brightness == kBrightnessNeutral && !needs.cursorDrawn && !needs.filtered;
    return needs.windowPath && unchanged ? FrameRoute::kGdi : FrameRoute::kDirect3D;
}
