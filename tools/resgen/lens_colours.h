// The colours of the magnifying glass that the splash picture and the installer's picture share.
// No Windows headers.
#pragma once

#include "canvas.h"

constexpr Colour kLensGlass{0.67, 0.86, 1.0, 0.35};
constexpr Colour kLensGlint{1.0, 1.0, 1.0, 0.55};
constexpr Colour kLensRimLight{0.9, 0.92, 0.96, 1.0};
constexpr Colour kLensRimDark{0.55, 0.6, 0.68, 1.0};
constexpr Colour kLensHandle{0.16, 0.16, 0.2, 1.0};
constexpr Colour kLetterShadow{0.0, 0.0, 0.0, 0.55};
constexpr Colour kLetterInk{1.0, 1.0, 1.0, 1.0};
