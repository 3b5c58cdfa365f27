// The brightness scale of qxSetBrightnessMagnifier: thousandths, 1000 leaves the image unchanged;
// a changed value is kept between 900 and 10000. No Windows headers.
#pragma once

constexpr int kBrightnessNeutral = 1000;
constexpr int kBrightnessMin = 900;
constexpr int kBrightnessMax = 10000;
