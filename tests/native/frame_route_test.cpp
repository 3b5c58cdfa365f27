#include "frame_route.h"

#include <gtest/gtest.h>

namespace {

// A frame stays in GDI only on the lens window, at neutral brightness, with no cursor drawn and
// no plug-in filtering it; anything else needs Direct3D.
TEST(FrameRoute, OnlyAnUnchangedWindowFrameStaysInGdi) {
    const struct {
        FrameNeeds needs;
        FrameRoute route;
    } cases[] = {
        {{true, 1000, false, false}, FrameRoute::kGdi},
        {{false, 1000, false, false}, FrameRoute::kDirect3D},
        {{true, 1100, false, false}, FrameRoute::kDirect3D},
        {{true, 999, false, false}, FrameRoute::kDirect3D},
        {{true, 1000, true, false}, FrameRoute::kDirect3D},
        {{true, 1000, false, true}, FrameRoute::kDirect3D},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.route, ChooseFrameRoute(c.needs))
            << "window " << c.needs.windowPath << " brightness " << c.needs.brightness << " cursor "
            << c.needs.cursorDrawn << " filtered " << c.needs.filtered;
    }
}

} // namespace
