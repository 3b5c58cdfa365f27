// Where the lens goes each frame: the point it follows (the pointer, the text caret or the
// focused control), the lens
// rectangle on the screen, the desktop area magnified into it, the zoom and where the pointer lies
// inside the lens. No Windows headers: the frame loop reads the pointer, the caret and the
// settings and hands them in.
//
// The lens and the source area are centred on the followed point plus one pixel and pushed back
// inside the monitor under the followed point by one of two rules:
// - with an internal cursor, the lens and the source are each kept on the monitor by themselves,
//   and the pointer's distance from the lens centre comes from the source clamp;
// - without one, the lens is kept on the monitor and the source moves with it, divided by the
//   zoom, so the desktop under the lens stays in register with its magnified image.
// Coordinates are physical pixels of the virtual screen: a monitor left of or above the primary
// one has negative coordinates. A lens larger than its monitor covers it and spills over one
// side, as a lens larger than the screen always has.
//
// Arithmetic: sizes are unsigned and halved with truncation; every conversion from double to
// integer truncates toward zero, counted from the monitor's top-left corner so that every monitor
// is treated alike. Sums and differences are formed without wrap-around and results
// saturate at the ends of the 32-bit range, so no input can overflow.
#pragma once

#include <cstdint>

#include "settings_record.h"

struct IntPoint {
    int32_t x;
    int32_t y;
};

inline bool operator==(IntPoint a, IntPoint b) {
    return a.x == b.x && a.y == b.y;
}
inline bool operator!=(IntPoint a, IntPoint b) {
    return !(a == b);
}

// Left, top, right and bottom; right and bottom are exclusive.
struct IntRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Tells which monitor a point lies on: that monitor's rectangle, or for a point off every
// monitor the nearest one's. The caller supplies it (on Windows, the system's monitor list).
struct MonitorLookup {
    IntRect (*monitorAt)(void* context, IntPoint point);
    void* context;
};

// Fixed for one run of the lens: the half lens size, read at start, and where the monitors are.
struct LensRun {
    IntRect screen; // the one monitor when `monitors` is empty: the screen at (0, 0)
    uint32_t halfLensWidth;
    uint32_t halfLensHeight;
    MonitorLookup monitors; // asked once a frame, with the followed point; may be empty
};

// A run on one screen of the given size at (0, 0).
LensRun MakeLensRun(int32_t screenWidth, int32_t screenHeight, uint32_t lensWidth,
                    uint32_t lensHeight);
// A run over the monitors that `monitors` tells of.
LensRun MakeLensRun(uint32_t lensWidth, uint32_t lensHeight, MonitorLookup monitors);

// The caret locator's answer for this frame.
struct CaretReading {
    int valid = 0;       // the library's flag: nonzero when the caret is to be followed
    int hasPosition = 0; // the library returned a position (not a null pointer)
    IntPoint position = {0, 0};
};

// The caret locator's word on the focused control or item for this frame.
struct FocusReading {
    int moved = 0;      // the focus went to a control or item since the last frame
    int caretShown = 0; // the focused window shows a text caret: the caret is followed instead
    int hasRect = 0;    // `rect` holds where the focused control or item lies
    IntRect rect = {0, 0, 0, 0};
};

// Everything the frame loop reads for one frame, in one record.
struct FrameReadings {
    // GetCursorPos of this frame: the pointer, or while locked the live pointer. When the read
    // fails, pass FollowState::pointer.
    IntPoint pointer = {0, 0};
    // qxGetCaretPos of this frame; left empty when the library is not bound. The caret is not
    // asked while the lens is locked, and a reading is ignored then.
    CaretReading caret;
    // The focus, read with the caret; left empty when the library does not tell of it.
    FocusReading focus;
    uint32_t lockPosition = 0;
    uint32_t internalCursor = 0;
    uint32_t lensWidth = 0;
    uint32_t lensHeight = 0;
    uint32_t sourceWidth = 0;
    uint32_t sourceHeight = 0;
};

// The settings fields of one frame, each read whole from the live record. The pointer and the
// caret are left for the caller to fill in.
FrameReadings ReadFrameSettings(const EngineParameters& params);

// What the frame loop carries from frame to frame. Owned by the caller, one per run.
struct FollowState {
    IntPoint pointer = {-1, -1}; // the pointer as last read; frozen while locked
    IntPoint lastPointer = {-1, -1};
    IntPoint caret = {0, 0}; // the caret as last reported
    IntPoint lastCaret = {0, 0};
    IntPoint lastPoint = {1, 1}; // the followed point of the last frame
    int pointerDriven = 0;       // the current point came from the pointer
    int awaitingCaret = 0;       // the focus moved to a control that showed no caret yet
};

// What the plug-in exports and the composition read: published together after every frame.
struct LensView {
    double zoomX = 1.0; // lens pixels per source pixel
    double zoomY = 1.0;
    IntPoint cursorInLens = {0, 0}; // always inside the lens (0 for an empty side)
};

struct LensPlacement {
    IntPoint point;  // the followed point plus one, the centre of both rectangles
    IntRect lens;    // where the lens is shown
    IntPoint source; // top-left of the area captured; its size is sourceWidth x sourceHeight
    LensView view;
};

// Chooses the point to follow this frame and updates `state`: the pointer when it moved, the
// caret when it moved and is valid, else the point of the last frame. PlaceLens and the other
// views call it once a frame.
IntPoint FollowedPoint(const FrameReadings& frame, FollowState* state);

// The monitor under `point` as `run` tells it (its one screen without a lookup).
IntRect MonitorOf(const LensRun& run, IntPoint point);

// Places the lens for one frame on the monitor under the followed point and updates `state`.
//
// The followed point is the pointer when it moved; else the caret when it moved and the library
// calls it valid (an invalid caret move brings back the pointer); else, when the focus moved, the
// caret of the focused window if it shows one, or else the focused control: its centre, or for a
// control larger than the area the lens magnifies, the point that shows its top-left part; else
// the point of the last frame.
//
// A source side of 0 has no zoom: it counts as zoom 1 instead of dividing by zero, so the
// plug-ins and the pointer arithmetic see no magnification. A lens side of 0 gives zoom 0, and
// the lens clamp then does not move the source on that side.
LensPlacement PlaceLens(const LensRun& run, const FrameReadings& frame, FollowState* state);
