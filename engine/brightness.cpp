#include "brightness.h"

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
