// The program's icons: "M" a magnifying glass, "M2" the same glass with a red stop sign in the
// lens (shown while the lens is being stopped), "S" a gear for the settings. Each is drawn at a
// size and reduced to palettised icon images. No Windows headers.
#pragma once

#include "canvas.h"
#include "ico_file.h"

enum class IconKind { Normal, Stopping, Settings };

// The icon drawn on a size x size canvas with soft edges.
Canvas DrawIcon(IconKind kind, int size);
// The colours the icon is drawn with.
std::vector<Colour> IconInks(IconKind kind);

// The canvas as an icon image at 4 or 8 bits per pixel: pixels at least half covered become the
// nearest palette colour, the others transparent. At 8 bits the whole 256-colour palette is used;
// at 4 bits only the 16-colour entries nearest to `inks`, so that soft edges between two inks do
// not turn into unrelated colours.
IconImage QuantisedIcon(const Canvas& canvas, int bitsPerPixel, const std::vector<Colour>& inks);

// The images of an icon file: 32 x 32 and 16 x 16, each in 16 and in 256 colours, and for scaled
// displays 20, 24, 40, 48 and 64 pixels square in 256 colours.
std::vector<IconImage> IconImages(IconKind kind);
