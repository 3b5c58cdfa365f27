// A small pixel font (5 x 7 cells) for the lettering drawn into the pictures; it carries the
// letters of the product name. No Windows headers.
#pragma once

#include "shapes.h"

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;

// The glyph of `letter` as kGlyphRows strings of kGlyphColumns characters ('#' = ink), or
// nullptr when the font does not carry the letter.
const char* const* Glyph(char letter);

// Width in pixels of `text` set at `scale` pixels per cell, one empty column between letters.
double TextWidth(const char* text, double scale);
// The ink of `text` with the top-left corner of its first cell at (left, top). Letters the font
// does not carry leave a blank of one letter's width.
Shape TextShape(const char* text, double left, double top, double scale);
