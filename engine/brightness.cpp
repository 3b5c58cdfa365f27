#include "brightness.h"

#include <cmath>

#include "pixel/lens_pixels.h"

int SteppedBrightness(int current, int direction, int amount) {
    if (direction == 0) {
        return current;
    }
    const long long step = direction > 0 ? amount : -static_cast<long long>(amount);
    const long long sum = current + step;
    if (sum < kBrightnessMin) {
        return kBrightnessMin;
    }
    if (sum > kBrightnessMax) {
        return kBrightnessMax;
    }
    return static_cast<int>(sum);
}

int FrameBrightness(int stored) {
    return stored < kBrightnessMin ? kBrightnessNeutral : stored;
}

BrightnessPass MapBrightness(int brightness) {
    if (brightness >= kBrightnessNeutral) {
        return {BrightnessTechnique::kRgb,
                static_cast<float>(brightness - kBrightnessNeutral) / 12750.0f};
    }
    if (brightness >= 950) {
        return {BrightnessTechnique::kRgbDark, 0.0f};
    }
    return {BrightnessTechnique::kRgbDark, 1.0f};
}

uint32_t BrightnessGain(int brightness) {
    const BrightnessPass pass = MapBrightness(brightness);
    // The effect's arithmetic: gain = 1 + 12.75 x value, or 1 - 0.1 x value when darkening.
    const double factor = pass.technique == BrightnessTechnique::kRgb ? 1.0 + 12.75 * pass.value
                                                                      : 1.0 - 0.1 * pass.value;
    const double gain = std::round(factor * kGainOne);
    return gain <= 0.0 ? 0u : gain >= kGainMax ? kGainMax : static_cast<uint32_t>(gain);
}
