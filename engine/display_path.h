// The display path of a run: how the lens reaches the screen. Chosen once at the start of the
// run. No Windows headers.
#pragma once

#include <cstdint>

// The hardware overlay in one of its pixel formats (the first four, in the order they are tried),
// or the lens window. The numbers are those the error reports give.
enum class DisplayPath : uint8_t {
    kOverlayRgbMasked = 0, // 32-bit RGB with explicit masks
    kOverlayRgb = 1,       // 32-bit RGB, masks left to the driver
    kOverlayYuy2 = 2,      // packed YUV "YUY2"
    kOverlayUyvy = 3,      // packed YUV "UYVY"
    kNoOverlay = 4,        // no overlay could be used: lens window
    kWindowByChoice = 5,   // the lens window was chosen ("Show one window"): lens window, and only
                           // the window under the pointer is captured
};
constexpr int kOverlayFormatCount = 4;

inline int PathNumber(DisplayPath path) {
    return static_cast<int>(path);
}

inline bool IsOverlayPath(DisplayPath path) {
    return path < DisplayPath::kNoOverlay;
}

inline bool IsPackedYuvPath(DisplayPath path) {
    return path == DisplayPath::kOverlayYuy2 || path == DisplayPath::kOverlayUyvy;
}

inline bool CapturesOneWindow(DisplayPath path) {
    return path == DisplayPath::kWindowByChoice;
}
