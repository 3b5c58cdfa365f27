// The start-up picture: 320 x 240 with per-pixel alpha, a magnifying glass over a dark rounded
// panel and the product name below it; also drawn twice as large for scaled displays. No Windows
// headers.
#pragma once

#include "canvas.h"

constexpr int kSplashWidth = 320;
constexpr int kSplashHeight = 240;

// The picture at `scale` times its size.
Canvas DrawSplash(int scale = 1);
