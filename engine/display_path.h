// The display path of a run, bOverlayFormats: how the lens reaches the screen. Chosen once at the
// start of the run. No Windows headers.
#pragma once

#include <cstdint>

// 0 to 3 name the hardware overlay's pixel format (an index into overlayFormatTable), 4 and 5 the
// lens window.
enum OverlayFormat : uint8_t {
    kOverlayRgbMasked = 0, // 32-bit RGB with explicit masks
    kOverlayRgb = 1,       // 32-bit RGB, masks left to the driver
    kOverlayYuy2 = 2,      // packed YUV "YUY2"
    kOverlayUyvy = 3,      // packed YUV "UYVY"
    kNoOverlay = 4,        // no overlay could be used: lens window
    kWindowByChoice = 5,   // the lens window was chosen ("Show one window"): lens window, and only
                           // the window under the pointer is captured
};
constexpr int kOverlayFormatCount = 4;

inline bool IsOverlayPath(unsigned path) {
    return path < kNoOverlay;
}

inline bool IsPackedYuvPath(unsigned path) {
    return path == kOverlayYuy2 || path == kOverlayUyvy;
}

inline bool CapturesOneWindow(unsigned path) {
    return path == kWindowByChoice;
}
