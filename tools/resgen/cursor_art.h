// The internal cursor pictures: 128 x 128, 16 colours, a pure blue background that the texture
// loader's colour key makes transparent, and a black-outlined white figure whose hot spot is
// pixel (63, 63), the image centre on which the renderer centres the sprite. No Windows headers.
#pragma once

#include "dib_encoding.h"

enum class CursorKind { Arrow, Hand, Crosshair, Dot };

constexpr int kCursorSize = 128;
constexpr int kCursorHotSpot = 63;
// Radius of the round probe that keeps the fill away from the figure's edge: the outline is
// 3 pixels wide on straight edges and follows curves without steps.
constexpr double kCursorOutline = 3.5;

// The picture of `kind`: palette SixteenColours(), background kBlueIndex, outline kBlackIndex,
// fill kWhiteIndex.
IndexedPicture DrawCursor(CursorKind kind);
