#include "lens_placement.h"

namespace {

// Intermediate values are 64-bit: every sum of two 32-bit values (signed or unsigned) fits.
constexpr int64_t kInt32Min = INT32_MIN;
constexpr int64_t kInt32Max = INT32_MAX;
// Products of an offset and a zoom can pass the 64-bit range; they are held here instead.
constexpr double kTruncLimit = 4611686018427387904.0; // 2^62

int32_t Saturate(int64_t value) {
    if (value < kInt32Min) {
        return INT32_MIN;
    }
    if (value > kInt32Max) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

// Toward zero, held within +-2^62. The values handed in are always finite.
int64_t Truncate(double value) {
    if (value >= kTruncLimit) {
        return static_cast<int64_t>(kTruncLimit);
    }
    if (value <= -kTruncLimit) {
        return -static_cast<int64_t>(kTruncLimit);
    }
    return static_cast<int64_t>(value);
}

double Zoom(uint32_t lensSide, uint32_t sourceSide) {
    if (sourceSide == 0) {
        return 1.0;
    }
    return static_cast<double>(lensSide) / static_cast<double>(sourceSide);
}

// How far the source moves when the lens moves by `lensPixels`: none for a lens of zoom 0.
double DivideByZoom(int64_t lensPixels, double zoom) {
    if (zoom == 0.0) {
        return 0.0;
    }
    return static_cast<double>(lensPixels) / zoom;
}

// One axis of the placement; x and y follow the same rules. Positions are counted from the
// monitor's first pixel, so every monitor is treated as the one screen at (0, 0) is.
struct Axis {
    int64_t origin;     // the monitor's first pixel along the axis
    int64_t centre;     // the followed point plus one, from the origin
    int64_t screen;     // the monitor's size along the axis
    int64_t lensSide;   // lensWidth or lensHeight
    int64_t sourceSide; // sourceWidth or sourceHeight
    int64_t halfLens;   // fixed for the run
    double zoom;
    int64_t pointerMove; // live pointer minus frozen pointer, while locked
    bool locked;
};

// One axis of the placement: the followed coordinate, the monitor's extent, the lens and source
// sides along it, and how far the live pointer stands from the frozen one.
Axis MakeAxis(int32_t followed, int32_t monitorStart, int32_t monitorEnd, uint32_t lensSide,
              uint32_t sourceSide, uint32_t halfLens, int32_t livePointer, int32_t frozenPointer,
              bool locked) {
    Axis a;
    a.origin = monitorStart;
    a.centre = static_cast<int64_t>(followed) + 1 - monitorStart;
    a.screen = static_cast<int64_t>(monitorEnd) - monitorStart;
    a.lensSide = lensSide;
    a.sourceSide = sourceSide;
    a.halfLens = halfLens;
    a.zoom = Zoom(lensSide, sourceSide);
    a.pointerMove = static_cast<int64_t>(livePointer) - frozenPointer;
    a.locked = locked;
    return a;
}

struct AxisResult {
    int64_t lensStart;
    int64_t sourceStart;
    int64_t cursor; // cursor-in-lens before it is kept inside the lens
};

// The lens and the source are each kept on the monitor; the offset is in source pixels.
AxisResult PlaceWithInternalCursor(const Axis& a) {
    int64_t lensStart = a.centre - a.halfLens;
    int64_t sourceStart = a.centre - a.sourceSide / 2;
    const int64_t sourceEnd = a.centre + a.sourceSide / 2;
    int64_t offset = 0;

    if (lensStart < 0) {
        lensStart = 0;
    } else if (a.lensSide + lensStart > a.screen) {
        lensStart = a.screen - a.lensSide;
    }
    if (sourceStart < 0) {
        offset = sourceStart;
        sourceStart = 0;
    } else if (sourceEnd > a.screen) {
        offset = sourceEnd - a.screen;
        sourceStart -= offset;
    }
    if (a.locked) {
        offset += a.pointerMove;
    }
    const double cursor =
        static_cast<double>(offset) * a.zoom + static_cast<double>(a.halfLens) - a.zoom * 0.5;
    return {a.origin + lensStart, a.origin + sourceStart, Truncate(cursor)};
}

// The lens is kept on the monitor and the source follows it divided by the zoom; the offset is in
// lens pixels.
AxisResult PlaceWithSystemPointer(const Axis& a) {
    int64_t lensStart = a.centre - a.halfLens;
    int64_t sourceStart = a.centre - a.sourceSide / 2;
    int64_t offset = 0;

    if (lensStart < 0) {
        offset = lensStart;
        sourceStart = Truncate(static_cast<double>(sourceStart) - DivideByZoom(lensStart, a.zoom));
        lensStart = 0;
    } else if (a.lensSide + lensStart > a.screen) {
        offset = a.lensSide - a.screen + lensStart;
        sourceStart = Truncate(static_cast<double>(sourceStart) - DivideByZoom(offset, a.zoom));
        lensStart = a.screen - a.lensSide;
    }
    if (offset == 0) {
        offset = Truncate(a.zoom * -0.5);
    }
    if (a.locked) {
        offset =
            Truncate(static_cast<double>(a.pointerMove) * a.zoom + static_cast<double>(offset));
    }
    return {a.origin + lensStart, a.origin + sourceStart, a.halfLens + offset};
}

// Below 0 becomes 0, beyond the last lens pixel becomes that pixel; an empty side gives 0.
int32_t KeepInsideLens(int64_t cursor, int64_t lensSide) {
    if (cursor < 0 || lensSide == 0) {
        return 0;
    }
    if (cursor > lensSide - 1) {
        return Saturate(lensSide - 1);
    }
    return Saturate(cursor);
}

// Along one side of a focused control: its middle, or for a side longer than the source, the
// point half a source side from its start, so that the lens shows where the control begins.
int32_t FocusCoordinate(int32_t start, int32_t end, uint32_t sourceSide) {
    const int64_t side = end > start ? static_cast<int64_t>(end) - start : 0;
    const int64_t shown = side < static_cast<int64_t>(sourceSide) ? side : sourceSide;
    return Saturate(start + shown / 2);
}

// Where the focused control or item is followed.
IntPoint FocusPoint(const FrameReadings& frame) {
    const IntRect& r = frame.focus.rect;
    return {FocusCoordinate(r.left, r.right, frame.sourceWidth),
            FocusCoordinate(r.top, r.bottom, frame.sourceHeight)};
}

} // namespace

IntPoint FollowedPoint(const FrameReadings& frame, FollowState* state) {
    const bool locked = frame.lockPosition != 0;
    const bool focusMoved = !locked && frame.focus.moved != 0;
    int caretValid = 0;
    if (!locked) {
        state->pointer = frame.pointer;
        caretValid = frame.caret.valid;
        if (frame.caret.hasPosition != 0) {
            state->caret = frame.caret.position;
        }
    }

    IntPoint point;
    // A control shows its caret a moment after it takes the focus, possibly where the caret was
    // when it last had the focus: that caret is followed once it shows, though it did not move.
    const bool caretNowShown =
        (focusMoved || state->awaitingCaret != 0) && frame.focus.caretShown != 0;
    if (state->pointer != state->lastPointer) {
        point = state->pointer;
        state->lastPointer = state->pointer;
        state->pointerDriven = 1;
        state->awaitingCaret = 0;
    } else if (state->caret == state->lastCaret) {
        point = state->lastPoint;
        if (caretNowShown && frame.caret.hasPosition != 0) {
            point = state->caret;
            state->pointerDriven = 0;
            state->awaitingCaret = 0;
        } else if (focusMoved && frame.focus.caretShown == 0 && frame.focus.hasRect != 0) {
            point = FocusPoint(frame);
            state->pointerDriven = 0;
            state->awaitingCaret = 1;
        }
    } else if (caretValid != 0) {
        point = state->caret;
        state->pointerDriven = 0;
        state->lastCaret = state->caret;
    } else {
        point = state->pointer;
        state->lastPointer = state->pointer;
        state->pointerDriven = 1;
        state->lastCaret = state->caret;
    }
    state->lastPoint = point;
    return point;
}

LensRun MakeLensRun(int32_t screenWidth, int32_t screenHeight, uint32_t lensWidth,
                    uint32_t lensHeight) {
    return {{0, 0, screenWidth, screenHeight}, lensWidth / 2, lensHeight / 2, {nullptr, nullptr}};
}

LensRun MakeLensRun(uint32_t lensWidth, uint32_t lensHeight, MonitorLookup monitors) {
    return {{0, 0, 0, 0}, lensWidth / 2, lensHeight / 2, monitors};
}

FrameReadings ReadFrameSettings(const EngineParameters& params) {
    FrameReadings frame;
    frame.lockPosition = LoadShared(params.lockPosition);
    frame.internalCursor = LoadShared(params.internalCursor);
    frame.lensWidth = LoadShared(params.lensWidth);
    frame.lensHeight = LoadShared(params.lensHeight);
    frame.sourceWidth = LoadShared(params.sourceWidth);
    frame.sourceHeight = LoadShared(params.sourceHeight);
    return frame;
}

IntRect MonitorOf(const LensRun& run, IntPoint point) {
    return run.monitors.monitorAt != nullptr ? run.monitors.monitorAt(run.monitors.context, point)
                                             : run.screen;
}

LensPlacement PlaceLens(const LensRun& run, const FrameReadings& frame, FollowState* state) {
    const IntPoint followed = FollowedPoint(frame, state);
    const bool locked = frame.lockPosition != 0;
    const IntRect monitor = MonitorOf(run, followed);

    const Axis x =
        MakeAxis(followed.x, monitor.left, monitor.right, frame.lensWidth, frame.sourceWidth,
                 run.halfLensWidth, frame.pointer.x, state->pointer.x, locked);
    const Axis y =
        MakeAxis(followed.y, monitor.top, monitor.bottom, frame.lensHeight, frame.sourceHeight,
                 run.halfLensHeight, frame.pointer.y, state->pointer.y, locked);

    const bool internalCursor = frame.internalCursor != 0;
    const AxisResult h = internalCursor ? PlaceWithInternalCursor(x) : PlaceWithSystemPointer(x);
    const AxisResult v = internalCursor ? PlaceWithInternalCursor(y) : PlaceWithSystemPointer(y);

    LensPlacement placement;
    placement.point = {Saturate(x.origin + x.centre), Saturate(y.origin + y.centre)};
    placement.lens = {Saturate(h.lensStart), Saturate(v.lensStart),
                      Saturate(h.lensStart + x.lensSide), Saturate(v.lensStart + y.lensSide)};
    placement.source = {Saturate(h.sourceStart), Saturate(v.sourceStart)};
    placement.view.zoomX = x.zoom;
    placement.view.zoomY = y.zoom;
    placement.view.cursorInLens = {KeepInsideLens(h.cursor, x.lensSide),
                                   KeepInsideLens(v.cursor, y.lensSide)};
    return placement;
}
