// The engine's brightness rules on the scale of brightness_scale.h. No Windows headers.
#pragma once

#include <cstdint>

#include "brightness_scale.h"

// The value after one brightness call: `current` unchanged for direction 0; otherwise `amount`
// added (direction > 0) or subtracted (direction < 0) and the sum kept within 900..10000.
int SteppedBrightness(int current, int direction, int amount);

// The brightness a frame is drawn with. A stored value below 900 is one nobody has set yet (0 from
// the library's load and from every DirectDraw set-up until the main program raises it on the
// lens-up notification; a change is never stored below 900): the image is then drawn unchanged,
// so that no frame comes out darker because it came before that raise.
int FrameBrightness(int stored);

// How the first render pass applies a brightness: which technique and its Brightness value.
enum class BrightnessTechnique { kRgb, kRgbDark };
struct BrightnessPass {
    BrightnessTechnique technique;
    float value;
};

// 1000 and above brighten by (b - 1000) / 12750; 950..999 render unchanged through the dark
// technique; below 950 darken.
BrightnessPass MapBrightness(int brightness);

// The factor by which the technique MapBrightness chooses multiplies blue, green and red, in
// 1/2048 and rounded, for the processor's gain: 2048 x b / 1000 from 1000 up, 2048 from 950 to
// 999, nine tenths of it below.
uint32_t BrightnessGain(int brightness);
