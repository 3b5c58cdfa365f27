// The picture at the side of the installer's first and last pages: 164 x 314, opaque, a
// magnifying glass over the letter V on a dark blue ground with the product name below.
// No Windows headers.
#pragma once

#include "canvas.h"

constexpr int kInstallerSideWidth = 164;
constexpr int kInstallerSideHeight = 314;

Canvas DrawInstallerSide();
