// The level shown after a change, as the lens shows it: the text, large, white on black inside a
// white border, drawn once per change into an image of its own and stamped over the finished
// frame, in the top-left corner, for about a second. It is put on the frame after the frame has
// been composed and copied to the clipboard, just before the frame reaches the screen, so it is
// in no clipboard copy; the next frame's screen copy does not see it where the system keeps the
// lens out of screen copies (under Wine, which copies the lens window with the screen, a lens
// over its own corner magnifies the box like anything else on the screen).
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "display_path.h"
#include "lens_image.h"
#include "level_rules.h"
#include "option_texts.h"
#include "scoped_handles.h"

struct LevelBadge {
    LensImage image; // the box drawn last, from its top-left corner; as wide as the lens
    UniqueGdiObject font;
    LevelLayout layout = {};
    LevelClock clock;
    int width = 0; // of the box drawn last
    int height = 0;
};

// At the start of a run, for a lens of that size; false when GDI cannot make the font or the
// image (no level is then shown in the run).
bool CreateLevelBadge(LevelBadge* badge, UINT lensWidth, UINT lensHeight);

// Texts just handed over: a new level is drawn and shows from `now` on (LevelClock).
void StartLevelBadge(LevelBadge* badge, const OptionTexts& texts, uint32_t now);

// The badge while it shows at `now`, else null.
const LevelBadge* LevelToShow(LevelBadge* badge, uint32_t now);

// Stamps the badge over the finished lens image, or over a surface of the overlay (32-bit RGB,
// or packed YUV on the YUY2 and UYVY paths), which it locks and unlocks.
void StampLevel(const LevelBadge& badge, const LensImage& image);
void StampLevel(const LevelBadge& badge, IDirectDrawSurface* surface, DisplayPath path);
