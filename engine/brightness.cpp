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
