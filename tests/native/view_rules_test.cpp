// The views beyond the lens without Windows: where the full-screen and docked views take their
// source under each tracking rule, the docked strip, the marker a reservation leaves, and the
// zoom and size steps of the views.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dock_record.h"
#include "lens_steps.h"
#include "view_geometry.h"

namespace {

constexpr IntRect kMonitor = {0, 0, 1280, 1024};

// Where a view shows and where its source is kept.
struct Place {
    IntRect shown, bounds;
};
constexpr Place kWhole = {kMonitor, kMonitor};
constexpr Place kLeft = {{-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}}; // left of the primary one
constexpr Place kDocked = {{0, 0, 1280, 256}, {0, 256, 1280, 1024}};

// One frame of a view; `fresh` starts a new follow state, which the next frames go on with.
struct Frame {
    bool fresh;
    Place place;
    uint32_t tracking, zoom;
    IntPoint point, source, cursor; // cursor: the point's magnified pixel in the view
};

TEST(ViewPlacement, EachTrackingRuleTakesItsSourceFromThePointAndItsLastPlace) {
    const Frame frames[] = {
        // Centred: the point's pixel in the middle, the source kept on the monitor.
        {true, kWhole, kTrackCentred, 200, {700, 500}, {380, 244}, {641, 513}},
        {false, kWhole, kTrackCentred, 200, {100, 50}, {0, 0}, {201, 101}},
        {false, kWhole, kTrackCentred, 200, {1270, 1020}, {640, 512}, {1261, 1017}},
        {true, kLeft, kTrackCentred, 300, {-600, 500}, {-813, 330}, {641, 512}},
        // Proportional: the point's place on the monitor is its place in the view.
        {true, kWhole, kTrackProportional, 200, {0, 0}, {0, 0}, {1, 1}},
        {false, kWhole, kTrackProportional, 200, {639, 511}, {320, 256}, {639, 511}},
        {false, kWhole, kTrackProportional, 200, {1279, 1023}, {640, 512}, {1279, 1023}},
        // Push: still within a margin of an eighth, then just enough to keep the margin; new
        // bounds start centred.
        {true, kWhole, kTrackPush, 200, {700, 500}, {380, 244}, {641, 513}},
        {false, kWhole, kTrackPush, 200, {760, 560}, {380, 244}, {761, 633}},
        {false, kWhole, kTrackPush, 200, {950, 500}, {391, 244}, {1119, 513}},
        {false, kWhole, kTrackPush, 200, {400, 200}, {320, 136}, {161, 129}},
        {false, kLeft, kTrackPush, 200, {-600, 500}, {-920, 244}, {641, 513}},
        // Docked: the strip magnifies the monitor beside it.
        {true, kDocked, kTrackCentred, 200, {700, 600}, {380, 536}, {641, 129}},
        {false, kDocked, kTrackCentred, 200, {700, 100}, {380, 256}, {641, 0}},
    };
    ViewFollow follow;
    for (const Frame& f : frames) {
        if (f.fresh) {
            follow = ViewFollow{};
        }
        const ViewPlacement v =
            PlaceView({f.place.shown, f.place.bounds, f.zoom, f.tracking, f.point}, &follow);
        EXPECT_EQ(f.source, v.placement.source) << "frame " << &f - frames;
        EXPECT_EQ(f.cursor, v.placement.view.cursorInLens) << "frame " << &f - frames;
    }
    EXPECT_EQ(426u, ViewSourceSide(1280, 300));
    EXPECT_EQ(1u, ViewSourceSide(0, 200)) << "never an empty source";
}

bool SameRect(const IntRect& a, const IntRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(DockedStrip, LiesAlongItsEdgeAndLeavesTheRestBesideIt) {
    const struct {
        uint32_t edge, percent;
        IntRect strip, beside;
    } cases[] = {
        {kDockTop, 25, {0, 0, 1280, 256}, {0, 256, 1280, 1024}},
        {kDockBottom, 10, {0, 922, 1280, 1024}, {0, 0, 1280, 922}},
        {kDockLeft, 50, {0, 0, 640, 1024}, {640, 0, 1280, 1024}},
        {kDockRight, 25, {960, 0, 1280, 1024}, {0, 0, 960, 1024}},
    };
    for (const auto& c : cases) {
        const IntRect strip =
            StripAlong(kMonitor, c.edge, DockThickness(kMonitor, c.edge, c.percent));
        EXPECT_TRUE(SameRect(c.strip, strip)) << c.edge;
        EXPECT_TRUE(SameRect(c.beside, BesideStrip(kMonitor, strip, c.edge))) << c.edge;
    }
    EXPECT_EQ(1, DockThickness({0, 0, 100, 2}, kDockTop, 10)) << "never thinner than a pixel";
}

TEST(DockMarker, ReadsWhatItWritesAndRestoresOnlyAWorkAreaStillShortOfTheStrip) {
    const DockRecord record = {0x1004A, kDockTop, {0, 0, 1280, 256}, {-5, 0, 1280, 994}};
    DockRecord read = {};
    ASSERT_TRUE(ParseDockRecord(DockRecordText(record), &read));
    EXPECT_EQ(record.window, read.window);
    EXPECT_EQ(record.strip, read.strip);
    EXPECT_EQ(record.workArea, read.workArea);
    const std::string members = "Vexlume docked view\nwindow=7\nedge=0\nstrip=0 0 1 1\n";
    for (const std::string& bad :
         {std::string("window=7\n"), members, members + "work_area=0 0 1\n",
          members + "work_area=0 0 1 1\nedge=1\n", members + "work_area=0 0 1 1\nmore=1\n",
          members + "work_area=0 0 1 1\n" + std::string(1024, '\n')}) {
        EXPECT_FALSE(ParseDockRecord(bad, &read)) << bad.substr(0, 120);
    }
    // Still short of the strip: the shell kept it; whole: given back; otherwise changed since.
    AreaRect restore = {};
    EXPECT_TRUE(WorkAreaToRestore(record, {-5, 256, 1280, 994}, &restore));
    EXPECT_EQ(record.workArea, restore);
    EXPECT_FALSE(WorkAreaToRestore(record, {-5, 0, 1280, 994}, &restore));
    EXPECT_FALSE(WorkAreaToRestore(record, {-5, 256, 1280, 1024}, &restore));
}

TEST(ViewSteps, ZoomAndDockSizeGoToTheNextStepWithinTheirRanges) {
    const struct {
        uint32_t (*step)(uint32_t, int);
        uint32_t from;
        int direction;
        uint32_t to;
    } cases[] = {
        {StepViewZoom, 200, 1, 250},   {StepViewZoom, 230, 1, 250},   {StepViewZoom, 230, -1, 200},
        {StepViewZoom, 1000, 1, 1000}, {StepViewZoom, 120, -1, 100},  {StepDockPercent, 25, 1, 30},
        {StepDockPercent, 25, -1, 20}, {StepDockPercent, 50, 1, 50},  {StepDockPercent, 12, 1, 15},
        {StepDockPercent, 12, -1, 10}, {StepDockPercent, 10, -1, 10},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.to, c.step(c.from, c.direction)) << c.from << " " << c.direction;
    }
}

} // namespace
