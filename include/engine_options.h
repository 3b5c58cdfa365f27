// The lens options beyond the settings record: kept by the main program in its options file and
// handed to the engine through qxSetOptionsMagnifier. The engine reads the record afresh every
// frame, as it reads the settings record; every field is a naturally aligned 32-bit word, read
// and written whole without a lock.
//
// Fields are only ever added at the end. `size` says how many bytes the caller's record has, so
// an engine reads only the fields its caller knows and takes the defaults for the rest, and a
// caller that never hands a record over gets the engine's defaults throughout. This header needs
// no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

// What the magnified image occupies.
enum EngineView : uint32_t {
    kViewLens = 0,       // a rectangle that follows the pointer
    kViewFullScreen = 1, // the whole monitor under the followed point
    kViewDocked = 2,     // a strip along one edge of that monitor, reserved from other windows
};
constexpr uint32_t kViewCount = 3;

// How the full-screen view follows the point.
enum ViewTracking : uint32_t {
    kTrackCentred = 0,      // the point stays in the middle; the view pans under it
    kTrackProportional = 1, // the point's place on the monitor is its place in the view
    kTrackPush = 2,         // the view moves only when the point comes near its edge
};
constexpr uint32_t kTrackingCount = 3;

// The monitor edge the docked view lies along.
enum DockEdge : uint32_t { kDockTop = 0, kDockBottom = 1, kDockLeft = 2, kDockRight = 3 };
constexpr uint32_t kDockEdgeCount = 4;

// The docked strip's share of the monitor across its edge, in percent.
constexpr uint32_t kMinDockPercent = 10;
constexpr uint32_t kMaxDockPercent = 50;

// The magnification of the full-screen and the docked views, in percent of the screen's size
// (200 shows every screen pixel as 2 x 2).
constexpr uint32_t kMinViewZoom = 100;
constexpr uint32_t kMaxViewZoom = 1000;

struct EngineOptions {
    uint32_t size;           // sizeof the caller's record
    uint32_t view;           // EngineView
    uint32_t tracking;       // ViewTracking
    uint32_t dockEdge;       // DockEdge
    uint32_t dockPercent;    // kMinDockPercent..kMaxDockPercent
    uint32_t fullScreenZoom; // kMinViewZoom..kMaxViewZoom
    uint32_t dockZoom;       // kMinViewZoom..kMaxViewZoom
    uint32_t smooth;         // 1: the source is scaled bilinearly; 0: every pixel a sharp block
};

static_assert(offsetof(EngineOptions, size) == 0, "layout");
static_assert(offsetof(EngineOptions, view) == 4, "layout");
static_assert(offsetof(EngineOptions, tracking) == 8, "layout");
static_assert(offsetof(EngineOptions, dockEdge) == 12, "layout");
static_assert(offsetof(EngineOptions, dockPercent) == 16, "layout");
static_assert(offsetof(EngineOptions, fullScreenZoom) == 20, "layout");
static_assert(offsetof(EngineOptions, dockZoom) == 24, "layout");
static_assert(offsetof(EngineOptions, smooth) == 28, "layout");

// The options of a caller that hands none over: today's lens.
constexpr EngineOptions kDefaultEngineOptions = {
    sizeof(EngineOptions), kViewLens, kTrackProportional, kDockTop, 25, 200, 200, 0};
