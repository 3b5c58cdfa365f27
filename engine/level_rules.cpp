#include "level_rules.h"

namespace {

int Clamp(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

} // namespace

bool StartLevel(LevelClock* clock, uint32_t tick, uint32_t now) {
    if (tick == 0 || tick == clock->tick) {
        return false;
    }
    clock->tick = tick;
    clock->showing = true;
    clock->shownSince = now;
    return true;
}

bool LevelShowing(LevelClock* clock, uint32_t now) {
    if (clock->showing && now - clock->shownSince >= kLevelShownMs) {
        clock->showing = false;
    }
    return clock->showing;
}

LevelLayout LayoutLevel(uint32_t lensWidth, uint32_t lensHeight) {
    const uint32_t across = lensHeight / 5 < lensWidth / 10 ? lensHeight / 5 : lensWidth / 10;
    const int font = Clamp(static_cast<int>(across < 1000 ? across : 1000), 12, 96);
    return LevelLayout{font, Clamp(font / 12, 1, 6), font / 4, font / 4};
}

LevelArea PlaceLevel(int width, int height, int imageWidth, int imageHeight, int margin) {
    LevelArea area = {margin & ~1, margin, 0, 0};
    if (area.x < imageWidth && area.y < imageHeight && width > 0 && height > 0) {
        area.width = (width < imageWidth - area.x ? width : imageWidth - area.x) & ~1;
        area.height = height < imageHeight - area.y ? height : imageHeight - area.y;
    }
    if (area.width <= 0 || area.height <= 0) {
        area.width = 0;
        area.height = 0;
    }
    return area;
}
