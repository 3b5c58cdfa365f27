// The level shown after a change (the new zoom, size, brightness, filter or view): when it shows,
// how large it is drawn for a lens, and where it lies in the finished image. No Windows headers.
#pragma once

#include <cstdint>

// A level shows for this long from the first frame that has it.
constexpr uint32_t kLevelShownMs = 1000;

// Times in milliseconds of the system's tick count, which wraps after 49.7 days.
struct LevelClock {
    uint32_t tick = 0; // the change of the level handed over last; 0 for none
    uint32_t shownSince = 0;
    bool showing = false;
};

// A hand-over whose level changed at `tick` (0 for none), seen at `now`. True when that level is
// new: it shows from now on.
bool StartLevel(LevelClock* clock, uint32_t tick, uint32_t now);

// True while the level started last shows at `now`; once it has shown its time, never again.
bool LevelShowing(LevelClock* clock, uint32_t now);

// Sizes in pixels of the level's box: large text, white on black inside a white border, at a
// margin from the image's top-left corner; all grow with the lens.
struct LevelLayout {
    int fontHeight;
    int border;
    int padding; // between the border and the text
    int margin;
};
LevelLayout LayoutLevel(uint32_t lensWidth, uint32_t lensHeight);

// The part of the image a box of `width` x `height` at (margin, margin) covers: cut at the
// image's edges, its left edge and width even, so that packed-YUV pixel pairs are whole.
struct LevelArea {
    int x;
    int y;
    int width; // 0 when nothing of the box lies in the image
    int height;
};
LevelArea PlaceLevel(int width, int height, int imageWidth, int imageHeight, int margin);
