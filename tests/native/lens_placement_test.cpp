#include "lens_placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int32_t kScreenW = 1280;
constexpr int32_t kScreenH = 1024;

// One run of the lens over a 1280 x 1024 screen; every frame goes through Place.
class LensPlacementTest : public ::testing::Test {
protected:
    // A frame with the pointer at (x, y) and the run's sizes.
    FrameReadings Frame(int32_t x, int32_t y) const {
        FrameReadings frame;
        frame.pointer = {x, y};
        frame.internalCursor = internalCursor;
        frame.lensWidth = lensWidth;
        frame.lensHeight = lensHeight;
        frame.sourceWidth = sourceWidth;
        frame.sourceHeight = sourceHeight;
        return frame;
    }
    FrameReadings FrameWithCaret(int32_t x, int32_t y, IntPoint caret, int valid) const {
        FrameReadings frame = Frame(x, y);
        frame.caret.valid = valid;
        frame.caret.hasPosition = 1;
        frame.caret.position = caret;
        return frame;
    }
    LensPlacement Place(const FrameReadings& frame) {
        const LensRun run = MakeLensRun(kScreenW, kScreenH, lensWidth, lensHeight);
        return PlaceLens(run, frame, &state);
    }
    LensPlacement Place(int32_t x, int32_t y) { return Place(Frame(x, y)); }

    uint32_t internalCursor = 0;
    uint32_t lensWidth = 256;
    uint32_t lensHeight = 256;
    uint32_t sourceWidth = 128;
    uint32_t sourceHeight = 128;
    FollowState state;
};

void ExpectPoint(IntPoint expected, IntPoint actual, const char* what) {
    EXPECT_EQ(expected.x, actual.x) << what;
    EXPECT_EQ(expected.y, actual.y) << what;
}

void ExpectLens(const IntRect& expected, const IntRect& actual) {
    EXPECT_EQ(expected.left, actual.left) << "lens left";
    EXPECT_EQ(expected.top, actual.top) << "lens top";
    EXPECT_EQ(expected.right, actual.right) << "lens right";
    EXPECT_EQ(expected.bottom, actual.bottom) << "lens bottom";
}

// --- Without an internal cursor: the source moves with the clamped lens, divided by the zoom.

TEST_F(LensPlacementTest, NearTheLeftEdgeTheSourceFollowsThePushedLensDividedByTheZoom) {
    const LensPlacement p = Place(100, 100);
    ExpectPoint({101, 101}, p.point, "followed point plus one");
    ExpectPoint({50, 50}, p.source, "truncate(37 + 27 / 2.0)");
    ExpectLens({0, 0, 256, 256}, p.lens);
    ExpectPoint({101, 101}, p.view.cursorInLens, "128 - 27");
    EXPECT_EQ(2.0, p.view.zoomX);
    EXPECT_EQ(2.0, p.view.zoomY);
}

TEST_F(LensPlacementTest, InsideTheScreenBothRectanglesAreCentredOnThePointPlusOne) {
    const LensPlacement p = Place(640, 512);
    ExpectLens({513, 385, 769, 641}, p.lens);
    ExpectPoint({577, 449}, p.source, "source top-left");
    ExpectPoint({127, 127}, p.view.cursorInLens, "half a zoom left of the centre");

    internalCursor = 1;
    const LensPlacement q = Place(641, 512);
    ExpectLens({514, 385, 770, 641}, q.lens);
    ExpectPoint({578, 449}, q.source, "source top-left");
    ExpectPoint({127, 127}, q.view.cursorInLens, "truncate(128 - 1.0)");
}

TEST_F(LensPlacementTest, FractionalZoomOffsetsTruncateTowardZero) {
    lensWidth = lensHeight = 384; // zoom 3
    LensPlacement p = Place(640, 512);
    ExpectPoint({191, 191}, p.view.cursorInLens, "192 + truncate(-1.5)");

    // Pointer left of the screen: px = -10, lens left -202, so the source starts at
    // truncate(-74 + 202 / 3.0) = truncate(-6.67) = -6, not -7.
    p = Place(-11, 500);
    EXPECT_EQ(-6, p.source.x);
    EXPECT_EQ(0, p.lens.left);
    EXPECT_EQ(0, p.view.cursorInLens.x) << "192 - 202 is kept inside the lens";
    EXPECT_EQ(501 - 64, p.source.y);
    EXPECT_EQ(501 - 192, p.lens.top);
    EXPECT_EQ(191, p.view.cursorInLens.y);

    internalCursor = 1;
    p = Place(640, 512);
    ExpectPoint({190, 190}, p.view.cursorInLens, "truncate(192 - 1.5)");
}

TEST_F(LensPlacementTest, OddSizesAreHalvedWithTruncation) {
    lensWidth = 255;
    lensHeight = 101;
    sourceWidth = 129;
    sourceHeight = 51;
    const LensPlacement p = Place(640, 512);
    ExpectLens({641 - 127, 513 - 50, 641 - 127 + 255, 513 - 50 + 101}, p.lens);
    ExpectPoint({641 - 64, 513 - 25}, p.source, "source top-left");
    EXPECT_DOUBLE_EQ(255.0 / 129.0, p.view.zoomX);
    EXPECT_DOUBLE_EQ(101.0 / 51.0, p.view.zoomY);
    ExpectPoint({127, 50}, p.view.cursorInLens, "offsets truncate(-0.99) = 0");
}

struct CornerCase {
    uint32_t internalCursor;
    IntPoint pointer;
    IntPoint lens;
    IntPoint source;
    IntPoint cursor;
};

// Lens 256 x 256, source 64 x 64 (zoom 4), screen 1280 x 1024.
TEST_F(LensPlacementTest, CornersOfTheScreenUnderBothRules) {
    sourceWidth = sourceHeight = 64;
    const CornerCase cases[] = {
        // Without an internal cursor the pointer offset is in lens pixels.
        {0, {0, 0}, {0, 0}, {0, 0}, {1, 1}},
        {0, {1279, 0}, {1024, 0}, {1216, 0}, {255, 1}},
        {0, {0, 1023}, {0, 768}, {0, 960}, {1, 255}},
        {0, {1279, 1023}, {1024, 768}, {1216, 960}, {255, 255}},
        // With one it is in source pixels times the zoom, less half a zoom.
        {1, {0, 0}, {0, 0}, {0, 0}, {2, 2}},
        {1, {1279, 0}, {1024, 0}, {1216, 0}, {254, 2}},
        {1, {0, 1023}, {0, 768}, {0, 960}, {2, 254}},
        {1, {1279, 1023}, {1024, 768}, {1216, 960}, {254, 254}},
    };
    for (const CornerCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "internalCursor " << c.internalCursor << " pointer "
                                        << c.pointer.x << "," << c.pointer.y);
        internalCursor = c.internalCursor;
        state = FollowState();
        const LensPlacement p = Place(c.pointer.x, c.pointer.y);
        ExpectLens({c.lens.x, c.lens.y, c.lens.x + 256, c.lens.y + 256}, p.lens);
        ExpectPoint(c.source, p.source, "source top-left");
        ExpectPoint(c.cursor, p.view.cursorInLens, "cursor in lens");
    }
}

TEST_F(LensPlacementTest, AlongEveryEdgeTheLensStaysOnTheScreenAndTheCursorInsideTheLens) {
    lensWidth = 320;
    lensHeight = 200;
    sourceWidth = 80;
    sourceHeight = 100;
    for (uint32_t rule : {0u, 1u}) {
        internalCursor = rule;
        for (int32_t y = -300; y <= kScreenH + 300; y += 13) {
            for (int32_t x = -300; x <= kScreenW + 300; x += 17) {
                const LensPlacement p = Place(x, y);
                SCOPED_TRACE(testing::Message() << "rule " << rule << " at " << x << "," << y);
                ASSERT_GE(p.lens.left, 0);
                ASSERT_GE(p.lens.top, 0);
                ASSERT_LE(p.lens.right, kScreenW);
                ASSERT_LE(p.lens.bottom, kScreenH);
                ASSERT_GE(p.view.cursorInLens.x, 0);
                ASSERT_LT(p.view.cursorInLens.x, 320);
                ASSERT_GE(p.view.cursorInLens.y, 0);
                ASSERT_LT(p.view.cursorInLens.y, 200);
                if (rule == 1) {
                    // The internal cursor keeps the source itself on the screen.
                    ASSERT_GE(p.source.x, 0);
                    ASSERT_GE(p.source.y, 0);
                    ASSERT_LE(p.source.x + 80, kScreenW);
                    ASSERT_LE(p.source.y + 100, kScreenH);
                }
            }
        }
    }
}

TEST_F(LensPlacementTest, ZoomIsLensOverSourcePerAxisAndNeverDividesByZero) {
    lensWidth = 300;
    lensHeight = 200;
    sourceWidth = 128;
    sourceHeight = 100;
    LensPlacement p = Place(640, 512);
    EXPECT_EQ(2.34375, p.view.zoomX);
    EXPECT_EQ(2.0, p.view.zoomY);

    sourceWidth = 0;
    sourceHeight = 0;
    for (uint32_t rule : {0u, 1u}) {
        internalCursor = rule;
        p = Place(3, 1020); // both clamps run
        EXPECT_EQ(1.0, p.view.zoomX) << "a source of no width counts as no magnification";
        EXPECT_EQ(1.0, p.view.zoomY);
        EXPECT_GE(p.view.cursorInLens.x, 0);
        EXPECT_LT(p.view.cursorInLens.x, 300);
        EXPECT_LT(p.view.cursorInLens.y, 200);
    }

    lensWidth = 0;
    lensHeight = 0;
    sourceWidth = 128;
    sourceHeight = 128;
    internalCursor = 0;
    p = Place(-50, 2000); // a lens of no size pushed in from both sides
    EXPECT_EQ(0.0, p.view.zoomX);
    ExpectPoint({0, 0}, p.view.cursorInLens, "an empty lens has only the point 0");
    EXPECT_EQ(-49 - 64, p.source.x) << "the lens clamp does not move the source at zoom 0";
    EXPECT_EQ(2001 - 64, p.source.y);
}

// --- Following the pointer and the caret.

TEST_F(LensPlacementTest, ACaretMoveWhileThePointerRestsIsFollowedOnlyWhenValid) {
    LensPlacement p = Place(500, 400);
    ExpectPoint({501, 401}, p.point, "pointer");
    EXPECT_EQ(1, state.pointerDriven);

    p = Place(FrameWithCaret(500, 400, {300, 200}, 1));
    ExpectPoint({301, 201}, p.point, "the valid caret is followed");
    EXPECT_EQ(0, state.pointerDriven);

    p = Place(FrameWithCaret(500, 400, {300, 200}, 1));
    ExpectPoint({301, 201}, p.point, "nothing moved: the lens stays on the caret");
    EXPECT_EQ(0, state.pointerDriven);

    p = Place(FrameWithCaret(500, 400, {310, 200}, 0));
    ExpectPoint({501, 401}, p.point, "an invalid caret move brings the lens back to the pointer");
    EXPECT_EQ(1, state.pointerDriven);

    p = Place(FrameWithCaret(500, 400, {310, 200}, 1));
    ExpectPoint({501, 401}, p.point, "the caret has not moved since it was last seen");

    p = Place(FrameWithCaret(500, 400, {320, 200}, 1));
    ExpectPoint({321, 201}, p.point, "caret");

    p = Place(FrameWithCaret(510, 400, {330, 200}, 1));
    ExpectPoint({511, 401}, p.point, "a pointer move wins over a caret move");
    EXPECT_EQ(1, state.pointerDriven);

    // The caret move of that frame was not taken; it is followed once the pointer rests, even
    // when the library then reports no position (the last one is kept).
    FrameReadings frame = Frame(510, 400);
    frame.caret.valid = 1;
    p = Place(frame);
    ExpectPoint({331, 201}, p.point, "caret kept from the frame before");
}

TEST_F(LensPlacementTest, AFocusMoveWhileThePointerRestsIsFollowedUnlessACaretOrThePointerLeads) {
    struct Step {
        IntPoint pointer;
        int focusMoved, caretShown;
        IntRect focus;
        int caretValid; // -1: the library reports no caret
        IntPoint caret;
        IntPoint expected; // the followed point plus one
        const char* what;
    };
    const Step steps[] = {
        {{500, 400}, 0, 0, {}, -1, {}, {501, 401}, "the pointer"},
        {{500, 400}, 1, 0, {100, 100, 180, 124}, -1, {}, {141, 113}, "a button's centre"},
        {{500, 400}, 0, 0, {100, 100, 180, 124}, -1, {}, {141, 113}, "no new focus: stays"},
        {{500, 400}, 1, 0, {10, 20, 810, 620}, -1, {}, {75, 85}, "a big list's top-left part"},
        {{500, 400}, 1, 1, {200, 300, 400, 320}, 1, {210, 318}, {211, 319}, "an edit's caret"},
        {{500, 400}, 1, 0, {100, 100, 180, 124}, -1, {}, {141, 113}, "from the edit to a button"},
        {{500, 400}, 1, 1, {200, 300, 400, 320}, 0, {210, 318}, {211, 319}, "back to the caret"},
        {{500, 400}, 1, 0, {100, 100, 180, 124}, -1, {}, {141, 113}, "to the button again"},
        {{500, 400}, 1, 0, {200, 300, 400, 320}, 0, {210, 318}, {265, 311}, "no caret yet"},
        {{500, 400}, 0, 1, {200, 300, 400, 320}, 1, {210, 318}, {211, 319}, "its caret shows"},
        {{500, 400}, 1, 0, {100, 100, 100, 100}, -1, {}, {211, 319}, "focus with no place"},
        {{520, 410}, 1, 0, {100, 100, 180, 124}, -1, {}, {521, 411}, "the moving pointer leads"},
    };
    for (const Step& step : steps) {
        FrameReadings frame = Frame(step.pointer.x, step.pointer.y);
        frame.focus = {step.focusMoved, step.caretShown, step.focus.right > step.focus.left,
                       step.focus};
        if (step.caretValid >= 0) {
            frame.caret = {step.caretValid, 1, step.caret};
        }
        ExpectPoint(step.expected, Place(frame).point, step.what);
    }
    FrameReadings locked = Frame(520, 410);
    locked.lockPosition = 1;
    locked.focus = {1, 0, 1, {0, 0, 40, 40}};
    ExpectPoint({521, 411}, Place(locked).point, "a locked lens ignores the focus");
}

TEST_F(LensPlacementTest, TheFirstFrameFollowsThePointerWhereverItIs) {
    LensPlacement p = Place(0, 0);
    ExpectPoint({1, 1}, p.point, "pointer at the origin");
    EXPECT_EQ(1, state.pointerDriven);

    state = FollowState();
    p = Place(-1, -1); // equal to the starting last pointer, so nothing has moved yet
    ExpectPoint({2, 2}, p.point, "the starting last point (1, 1) plus one");
    EXPECT_EQ(0, state.pointerDriven);
}

// --- Locking the lens in place.

TEST_F(LensPlacementTest, ALockedLensStaysAndOnlyTheCursorFollowsThePointer) {
    for (uint32_t rule : {0u, 1u}) {
        SCOPED_TRACE(rule);
        internalCursor = rule;
        state = FollowState();
        const LensPlacement before = Place(640, 512);

        FrameReadings frame = FrameWithCaret(650, 507, {100, 100}, 1); // live pointer, caret
        frame.lockPosition = 1;
        const LensPlacement locked = Place(frame);
        ExpectPoint(before.point, locked.point, "followed point");
        ExpectLens(before.lens, locked.lens);
        ExpectPoint(before.source, locked.source, "source");
        // +10 and -5 screen pixels at zoom 2 from the resting (127, 127).
        ExpectPoint({147, 117}, locked.view.cursorInLens, "cursor moved by the zoomed offset");
        ExpectPoint({640, 512}, state.pointer, "the pointer stays frozen");
        ExpectPoint({0, 0}, state.caret, "the caret is not taken while locked");

        frame.pointer = {0, 2000}; // far out of the lens
        const LensPlacement outside = Place(frame);
        ExpectLens(before.lens, outside.lens);
        ExpectPoint({0, 255}, outside.view.cursorInLens, "kept inside the lens");

        frame.lockPosition = 0;
        const LensPlacement unlocked = Place(frame);
        ExpectPoint({1, 2001}, unlocked.point, "unlocked, the lens goes to the pointer");
    }
}

TEST_F(LensPlacementTest, ALockedLensOnTheCaretStaysOnTheCaret) {
    Place(500, 400);
    const LensPlacement onCaret = Place(FrameWithCaret(500, 400, {300, 200}, 1));
    FrameReadings frame = Frame(900, 900);
    frame.lockPosition = 1;
    const LensPlacement locked = Place(frame);
    ExpectPoint(onCaret.point, locked.point, "followed point");
    ExpectLens(onCaret.lens, locked.lens);
}

// --- Inputs no sane system produces must still give bounded, defined results.

TEST_F(LensPlacementTest, ExtremeInputsGiveResultsInsideTheLensWithoutOverflow) {
    const int32_t coordinates[] = {INT32_MIN, INT32_MIN + 1, -1,       0, 1,
                                   640,       INT32_MAX - 1, INT32_MAX};
    const uint32_t sizes[] = {0, 1, 2, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};
    const int32_t screens[] = {0, 1, kScreenW, INT32_MAX};
    for (int32_t screen : screens) {
        for (uint32_t lens : sizes) {
            for (uint32_t source : sizes) {
                for (uint32_t rule : {0u, 1u}) {
                    for (int32_t c : coordinates) {
                        FollowState s;
                        FrameReadings frame;
                        frame.internalCursor = rule;
                        frame.lensWidth = frame.lensHeight = lens;
                        frame.sourceWidth = frame.sourceHeight = source;
                        frame.pointer = {c, c};
                        const LensRun run = MakeLensRun(screen, screen, lens, lens);
                        const LensPlacement p = PlaceLens(run, frame, &s);
                        frame.lockPosition = 1; // the live pointer at the other end
                        frame.pointer = {c == INT32_MIN ? INT32_MAX : INT32_MIN, -(c / 2)};
                        const LensPlacement q = PlaceLens(run, frame, &s);
                        for (const LensPlacement* r : {&p, &q}) {
                            ASSERT_TRUE(std::isfinite(r->view.zoomX));
                            ASSERT_GE(r->view.zoomX, 0.0);
                            ASSERT_GE(r->view.cursorInLens.x, 0);
                            ASSERT_GE(r->view.cursorInLens.y, 0);
                            if (lens != 0) {
                                ASSERT_LE(static_cast<uint32_t>(r->view.cursorInLens.x), lens - 1);
                            }
                            if (lens <= static_cast<uint32_t>(screen)) {
                                ASSERT_GE(r->lens.left, 0) << "lens kept on the screen";
                                ASSERT_LE(static_cast<int64_t>(r->lens.left) + lens,
                                          static_cast<int64_t>(screen));
                            }
                        }
                    }
                }
            }
        }
    }
}

TEST_F(LensPlacementTest, ACaretAtTheEndOfTheRangeKeepsTheLensAtThatEdge) {
    Place(500, 400);
    LensPlacement p = Place(FrameWithCaret(500, 400, {INT32_MAX, INT32_MAX}, 1));
    ExpectPoint({INT32_MAX, INT32_MAX}, p.point, "the point plus one saturates");
    ExpectLens({kScreenW - 256, kScreenH - 256, kScreenW, kScreenH}, p.lens);

    p = Place(FrameWithCaret(500, 400, {INT32_MIN, INT32_MIN}, 1));
    ExpectLens({0, 0, 256, 256}, p.lens);
    ExpectPoint({0, 0}, p.view.cursorInLens, "cursor kept inside the lens");
}

// --- Several monitors: the lens is kept on the monitor under the followed point.

struct MonitorLayout {
    const char* name;
    std::vector<IntRect> monitors; // the primary first
};

// The monitor a point lies on, else the primary, as the system's nearest-monitor answer would
// be for the points used here. Counts the questions asked.
struct LayoutLookup {
    const MonitorLayout* layout;
    std::vector<IntPoint> asked;

    static IntRect At(void* context, IntPoint p) {
        LayoutLookup* self = static_cast<LayoutLookup*>(context);
        self->asked.push_back(p);
        for (const IntRect& m : self->layout->monitors) {
            if (p.x >= m.left && p.x < m.right && p.y >= m.top && p.y < m.bottom) {
                return m;
            }
        }
        return self->layout->monitors.front();
    }
};

const MonitorLayout kLayouts[] = {
    {"side by side", {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}}},
    {"one above another", {{0, 0, 1280, 1024}, {-160, -900, 1440, 0}}},
    {"secondary left of the primary", {{0, 0, 1920, 1080}, {-1280, 56, 0, 1080}}},
    {"different sizes, staggered",
     {{0, 0, 1280, 1024}, {1280, 700, 2080, 1300}, {-3840, -1000, 0, 1160}}},
};

IntRect Translated(const IntRect& r, int32_t dx, int32_t dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// On every monitor of every layout, under both rules and with the lens locked: the placement is
// the one the same monitor alone at (0, 0) gives, moved to the monitor's place; in the clamping
// modes the lens never crosses the monitor's edges, nor does the source with an internal cursor.
TEST(LensPlacementOnMonitors, EachMonitorPlacesTheLensAsTheOneScreenDoesAndKeepsItOnThatMonitor) {
    constexpr uint32_t kLensW = 320, kLensH = 200, kSourceW = 96, kSourceH = 80;
    for (const MonitorLayout& layout : kLayouts) {
        for (const IntRect& monitor : layout.monitors) {
            const int32_t width = monitor.right - monitor.left;
            const int32_t height = monitor.bottom - monitor.top;
            for (uint32_t rule : {0u, 1u}) {
                for (int32_t y = monitor.top; y < monitor.bottom; y += 37) {
                    for (int32_t x = monitor.left; x < monitor.right; x += 53) {
                        SCOPED_TRACE(testing::Message() << layout.name << ", rule " << rule
                                                        << ", at " << x << "," << y);
                        LayoutLookup lookup{&layout, {}};
                        const LensRun run =
                            MakeLensRun(kLensW, kLensH, {&LayoutLookup::At, &lookup});
                        const LensRun alone = MakeLensRun(width, height, kLensW, kLensH);
                        FrameReadings frame;
                        frame.internalCursor = rule;
                        frame.lensWidth = kLensW;
                        frame.lensHeight = kLensH;
                        frame.sourceWidth = kSourceW;
                        frame.sourceHeight = kSourceH;
                        FrameReadings there = frame;
                        frame.pointer = {x, y};
                        there.pointer = {x - monitor.left, y - monitor.top};
                        FollowState state, stateAlone;
                        std::vector<LensPlacement> got, expected;
                        got.push_back(PlaceLens(run, frame, &state));
                        expected.push_back(PlaceLens(alone, there, &stateAlone));
                        frame.lockPosition = there.lockPosition = 1; // the live pointer moves on
                        frame.pointer.x += 31;
                        there.pointer.x += 31;
                        got.push_back(PlaceLens(run, frame, &state));
                        expected.push_back(PlaceLens(alone, there, &stateAlone));
                        ASSERT_EQ(2u, lookup.asked.size());
                        ExpectPoint({x, y}, lookup.asked[1], "asked with the frozen point");

                        for (size_t i = 0; i < got.size(); ++i) {
                            const LensPlacement& p = got[i];
                            const LensPlacement& e = expected[i];
                            ExpectLens(Translated(e.lens, monitor.left, monitor.top), p.lens);
                            ExpectPoint({e.source.x + monitor.left, e.source.y + monitor.top},
                                        p.source, "source");
                            ExpectPoint(e.view.cursorInLens, p.view.cursorInLens, "cursor");
                            ASSERT_GE(p.lens.left, monitor.left);
                            ASSERT_GE(p.lens.top, monitor.top);
                            ASSERT_LE(p.lens.right, monitor.right);
                            ASSERT_LE(p.lens.bottom, monitor.bottom);
                            if (rule == 1) {
                                ASSERT_GE(p.source.x, monitor.left);
                                ASSERT_GE(p.source.y, monitor.top);
                                ASSERT_LE(p.source.x + static_cast<int32_t>(kSourceW),
                                          monitor.right);
                                ASSERT_LE(p.source.y + static_cast<int32_t>(kSourceH),
                                          monitor.bottom);
                            }
                        }
                    }
                }
            }
        }
    }
}

// Across a shared edge the lens stays on the pointer's monitor up to its last pixel (the point
// plus one already lies beyond it) and moves over with the first pixel of the next; the caret is
// followed onto its own monitor the same way.
TEST(LensPlacementOnMonitors, TheLensChangesMonitorWithTheFollowedPoint) {
    const MonitorLayout& layout = kLayouts[2]; // secondary (-1280, 56)-(0, 1080) left of primary
    LayoutLookup lookup{&layout, {}};
    const LensRun run = MakeLensRun(256, 128, {&LayoutLookup::At, &lookup});
    FollowState state;
    FrameReadings frame;
    frame.lensWidth = 256;
    frame.lensHeight = 128;
    frame.sourceWidth = 128;
    frame.sourceHeight = 64;

    frame.pointer = {-1, 500};
    LensPlacement p = PlaceLens(run, frame, &state);
    ExpectLens({-256, 501 - 64, 0, 501 + 64}, p.lens);
    EXPECT_EQ(0 - 64 - 128 / 2, p.source.x) << "the source moves with the lens, halved";

    frame.pointer = {0, 500};
    p = PlaceLens(run, frame, &state);
    ExpectLens({0, 501 - 64, 256, 501 + 64}, p.lens);

    frame.pointer = {-700, 60}; // near the secondary's top, which lies lower than the primary's
    p = PlaceLens(run, frame, &state);
    ExpectLens({-699 - 128, 56, -699 + 128, 56 + 128}, p.lens);
    EXPECT_EQ(-699 - 64, p.source.x);
    EXPECT_EQ(61 - 32 + 59 / 2, p.source.y) << "pushed down with the lens by 59 / 2.0";

    frame.caret = {1, 1, {900, 1079}}; // the caret on the primary's bottom row
    p = PlaceLens(run, frame, &state);
    ExpectLens({901 - 128, 1080 - 128, 901 + 128, 1080}, p.lens);
    ExpectPoint({900, 1079}, lookup.asked.back(), "the monitor of the caret");
}

} // namespace
