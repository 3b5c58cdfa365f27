#include "settings_form.h"

#include <cstdio>

#include "settings_logic.h"

namespace {

constexpr uint32_t kAnySide = 0; // a preset side that follows the screen

struct Preset {
    const char* text;   // printf pattern; the screen size fills the last three
    uint32_t width;     // kAnySide: the screen width
    uint32_t height;    // kAnySide: the screen height
    int screenSizeArgs; // how many screen sides the text names
};

constexpr Preset kPresets[kPresetCount] = {
    {"Custom", 0, 0, 0},
    {"Small (128x64)", 128, 64, 0},
    {"Default (256x128)", 256, 128, 0},
    {"Big (512x256)", 512, 256, 0},
    {"Line (%ux128)", kAnySide, 128, 1},
    {"Wide Line (%ux256)", kAnySide, 256, 1},
    {"Full Screen (%ux%u)", kAnySide, kAnySide, 2},
};

bool IsPresetIndex(int index) {
    return index > kPresetCustom && index < kPresetCount;
}

uint32_t Side(uint32_t presetSide, uint32_t screenSide) {
    return presetSide == kAnySide ? screenSide : presetSide;
}

void Clear(char* out, size_t capacity) {
    if (capacity > 0) {
        out[0] = '\0';
    }
}

// snprintf that reports a cut text as a failure and leaves `out` empty then.
template <typename... Args>
int FormatInto(char* out, size_t capacity, const char* pattern, Args... args) {
    const int length = std::snprintf(out, capacity, pattern, args...);
    if (length < 0 || static_cast<size_t>(length) >= capacity) {
        Clear(out, capacity);
        return 0;
    }
    return 1;
}

} // namespace

int PresetText(int index, ScreenSize screen, char* out, size_t capacity) {
    if (index < 0 || index >= kPresetCount) {
        Clear(out, capacity);
        return 0;
    }
    const Preset& preset = kPresets[index];
    switch (preset.screenSizeArgs) {
    case 1:
        return FormatInto(out, capacity, preset.text, screen.width);
    case 2:
        return FormatInto(out, capacity, preset.text, screen.width, screen.height);
    default:
        return FormatInto(out, capacity, "%s", preset.text);
    }
}

int PresetSize(int index, ScreenSize screen, uint32_t* width, uint32_t* height) {
    if (!IsPresetIndex(index)) {
        return 0;
    }
    *width = Side(kPresets[index].width, screen.width);
    *height = Side(kPresets[index].height, screen.height);
    return 1;
}

int MatchPreset(uint32_t width, uint32_t height, ScreenSize screen) {
    for (int index = kPresetCustom + 1; index < kPresetCount; ++index) {
        uint32_t w = 0;
        uint32_t h = 0;
        PresetSize(index, screen, &w, &h);
        if (w == width && h == height) {
            return index;
        }
    }
    return kPresetCustom;
}

int PresetAfterEdit(int shown, SizeField changed, uint32_t width, uint32_t height,
                    ScreenSize screen) {
    uint32_t w = 0;
    uint32_t h = 0;
    if (!PresetSize(shown, screen, &w, &h)) {
        return MatchPreset(width, height, screen);
    }
    const bool same = changed == SizeField::Width ? width == w : height == h;
    return same ? shown : kPresetCustom;
}

uint32_t TypedNumber(const char* text) {
    while (*text == ' ') {
        ++text;
    }
    uint64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + static_cast<uint64_t>(*text - '0');
        if (value > UINT32_MAX) {
            return UINT32_MAX;
        }
    }
    return static_cast<uint32_t>(value);
}

uint32_t LensSideFromTyped(uint32_t typed, uint32_t screenSide) {
    const uint32_t upper = screenSide < kMinLensSide ? kMinLensSide : screenSide;
    uint32_t side = typed < kMinLensSide ? kMinLensSide : (typed > upper ? upper : typed);
    if (side % 2 != 0) {
        side = side < upper ? side + 1 : side - 1;
    }
    return side;
}

int ZoomSliderPosition(float zoom) {
    return TruncToInt(static_cast<double>(zoom) * 2.0);
}

float ZoomAtSliderPosition(int position) {
    if (position < kZoomSliderMin) {
        position = kZoomSliderMin;
    } else if (position > kZoomSliderMax) {
        position = kZoomSliderMax;
    }
    return static_cast<float>(position) * 0.5f;
}

void ZoomLabel(float zoom, char* out, size_t capacity) {
    const int whole = TruncToInt(zoom);
    const bool exact = static_cast<double>(zoom) == static_cast<double>(whole);
    FormatInto(out, capacity, exact ? "%d.0" : "%d.5", whole);
}

uint32_t TransparencyAtSliderPosition(int position) {
    if (position < 0) {
        return 0;
    }
    return static_cast<uint32_t>(position > kTransparencyMax ? kTransparencyMax : position);
}

void TransparencyLabel(uint32_t transparency, char* out, size_t capacity) {
    const uint32_t level = transparency > kTransparencyMax ? kTransparencyMax : transparency;
    unsigned percent = level * 100 / kTransparencyMax;
    if (level != 0 && percent < 1) {
        percent = 1;
    }
    FormatInto(out, capacity, "%u", percent);
}
