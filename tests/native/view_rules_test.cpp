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
constexpr IntRect kStrip = {0, 0, 1280, 256};
constexpr IntRect kBesideStrip = {0, 256, 1280, 1024};

struct Step {
    IntPoint point;
    IntPoint source;
    IntPoint cursor; // the point's magnified pixel in the view
};

struct Sequence {
    const char* what;
    IntRect shown, bounds;
    uint32_t zoom, tracking;
    uint32_t sourceWidth, sourceHeight;
    std::vector<Step> steps; // one frame each, in order, with one ViewFollow
};

TEST(ViewPlacement, EachTrackingRuleTakesItsSourceFromThePointAndItsLastPlace) {
    const Sequence sequences[] = {
        {"centred: the point's pixel at the middle, kept on the monitor",
         kMonitor,
         kMonitor,
         200,
         kTrackCentred,
         640,
         512,
         {{{700, 500}, {380, 244}, {641, 513}},
          {{100, 50}, {0, 0}, {201, 101}},
          {{1270, 1020}, {640, 512}, {1261, 1017}}}},
        {"proportional: the point's place on the monitor is its place in the view",
         kMonitor,
         kMonitor,
         200,
         kTrackProportional,
         640,
         512,
         {{{0, 0}, {0, 0}, {1, 1}},
          {{639, 511}, {320, 256}, {639, 511}},
          {{1279, 1023}, {640, 512}, {1279, 1023}}}},
        {"push: still within the margin of an eighth, then just enough to keep it",
         kMonitor,
         kMonitor,
         200,
         kTrackPush,
         640,
         512,
         {{{700, 500}, {380, 244}, {641, 513}},
          {{760, 560}, {380, 244}, {761, 633}},
          {{950, 500}, {391, 244}, {1119, 513}},
          {{400, 200}, {320, 136}, {161, 129}}}},
        {"a monitor left of the primary one, at zoom 3",
         {-1280, 0, 0, 1024},
         {-1280, 0, 0, 1024},
         300,
         kTrackCentred,
         426,
         341,
         {{{-600, 500}, {-813, 330}, {641, 512}}}},
        {"docked: the strip magnifies the monitor beside it around the point",
         kStrip,
         kBesideStrip,
         200,
         kTrackCentred,
         640,
         128,
         {{{700, 600}, {380, 536}, {641, 129}}, {{700, 100}, {380, 256}, {641, 0}}}},
    };
    for (const Sequence& s : sequences) {
        ViewFollow follow;
        for (const Step& step : s.steps) {
            const ViewPlacement v =
                PlaceView(ViewRequest{s.shown, s.bounds, s.zoom, s.tracking, step.point}, &follow);
            const std::string where = std::string(s.what) + " at " + std::to_string(step.point.x) +
                                      ", " + std::to_string(step.point.y);
            EXPECT_EQ(s.sourceWidth, v.sourceWidth) << where;
            EXPECT_EQ(s.sourceHeight, v.sourceHeight) << where;
            EXPECT_EQ(step.source, v.placement.source) << where;
            EXPECT_EQ(step.cursor, v.placement.view.cursorInLens) << where;
            EXPECT_EQ(s.shown.left, v.placement.lens.left) << where;
            EXPECT_EQ(s.shown.bottom, v.placement.lens.bottom) << where;
        }
    }
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

TEST(DockMarker, ReadsWhatItWritesAndNothingElse) {
    const DockRecord record = {0x1004A, kDockBottom, {0, 768, 1280, 1024}, {-5, 0, 1280, 990}};
    const std::string text = DockRecordText(record);
    DockRecord read = {};
    ASSERT_TRUE(ParseDockRecord(text, &read)) << text;
    EXPECT_EQ(record.window, read.window);
    EXPECT_EQ(record.edge, read.edge);
    EXPECT_EQ(record.strip, read.strip);
    EXPECT_EQ(record.workArea, read.workArea);

    const std::string members = "Vexlume docked view\nwindow=7\nedge=0\nstrip=0 0 1 1\n";
    for (const std::string& bad :
         {std::string("window=7\n"), members, members + "work_area=0 0 1\n",
          members + "work_area=0 0 1 1\nedge=1\n", members + "work_area=0 0 1 1\nmore=1\n",
          members + "work_area=0 0 1 1\n" + std::string(1024, '\n')}) {
        EXPECT_FALSE(ParseDockRecord(bad, &read)) << bad.substr(0, 120);
    }
}

TEST(DockMarker, TheNextStartRestoresOnlyAWorkAreaStillShortOfTheStrip) {
    const DockRecord record = {7, kDockTop, {0, 0, 1280, 256}, {0, 0, 1280, 994}};
    const struct {
        AreaRect current;
        bool restored;
    } cases[] = {
        {{0, 256, 1280, 994}, true},   // the shell kept the crashed strip
        {{0, 0, 1280, 994}, false},    // the shell gave it back already
        {{0, 256, 1280, 1024}, false}, // changed since (the taskbar moved)
    };
    for (const auto& c : cases) {
        AreaRect restore = {};
        EXPECT_EQ(c.restored, WorkAreaToRestore(record, c.current, &restore)) << c.current.top;
        if (c.restored) {
            EXPECT_EQ(record.workArea, restore);
        }
    }
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
