// The lens options beyond the settings record: kept by the main program in its options file and
// handed to the engine through qxSetOptionsMagnifier, which copies it: a change reaches the lens
// when the record is handed over again. Every field is a naturally aligned 32-bit word.
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

// The texts at the end of the record: room for a plug-in file's name without its extension, and
// for one short line of text, each with its terminating zero.
constexpr uint32_t kFilterNameCapacity = 256;
constexpr uint32_t kLevelTextCapacity = 64;

struct EngineOptions {
    uint32_t size;           // sizeof the caller's record
    uint32_t view;           // EngineView
    uint32_t tracking;       // ViewTracking
    uint32_t dockEdge;       // DockEdge
    uint32_t dockPercent;    // kMinDockPercent..kMaxDockPercent
    uint32_t fullScreenZoom; // kMinViewZoom..kMaxViewZoom
    uint32_t dockZoom;       // kMinViewZoom..kMaxViewZoom
    uint32_t smooth;         // 1: the source is scaled bilinearly; 0: every pixel a sharp block
    // When the level last changed (the system's tick count in milliseconds; 0 for none): the
    // engine shows levelText in a corner of the lens for about a second from the first frame
    // after a hand-over that brings a new tick. The main program clears it when it switches the
    // lens off, so that the next run shows no old level.
    uint32_t levelTick;
    char levelText[kLevelTextCapacity]; // "Zoom 2.5x", in the system's ANSI code page
    // The filter chosen at a key: the plug-in file "<filterName>.dll" or, switched off,
    // "<filterName>.lib" of the plug-in folder, loaded and used beside the folder's switched-on
    // plug-ins; empty for none. A name that is no plain file name is taken as none.
    char filterName[kFilterNameCapacity];
};

static_assert(offsetof(EngineOptions, size) == 0, "layout");
static_assert(offsetof(EngineOptions, view) == 4, "layout");
static_assert(offsetof(EngineOptions, tracking) == 8, "layout");
static_assert(offsetof(EngineOptions, dockEdge) == 12, "layout");
static_assert(offsetof(EngineOptions, dockPercent) == 16, "layout");
static_assert(offsetof(EngineOptions, fullScreenZoom) == 20, "layout");
static_assert(offsetof(EngineOptions, dockZoom) == 24, "layout");
static_assert(offsetof(EngineOptions, smooth) == 28, "layout");
static_assert(offsetof(EngineOptions, levelTick) == 32, "layout");
static_assert(offsetof(EngineOptions, levelText) == 36, "layout");
static_assert(offsetof(EngineOptions, filterName) == 100, "layout");
static_assert(sizeof(EngineOptions) == 356, "layout");

// The options of a caller that hands none over: today's lens.
constexpr EngineOptions kDefaultEngineOptions = {
    sizeof(EngineOptions), kViewLens, kTrackProportional, kDockTop, 25, 200, 200, 0, 0, {}, {}};

// True when `name` is a file name of its own, with no folder in it, that leaves room for ".dll".
inline bool IsPlainFileName(const char (&name)[kFilterNameCapacity]) {
    size_t length = 0;
    for (; length < kFilterNameCapacity && name[length] != '\0'; ++length) {
        const char c = name[length];
        if (static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == '/' || c == ':' || c == '*' ||
            c == '?' || c == '"' || c == '<' || c == '>' || c == '|') {
            return false;
        }
    }
    return length > 0 && length + 4 < kFilterNameCapacity;
}
