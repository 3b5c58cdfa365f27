// The filters we ship, as routines over 32-bit A8R8G8B8 pixels (0xAARRGGBB; in memory blue,
// green, red, alpha). No Windows headers.
//
// Colours are taken as premultiplied by alpha, as the lens window shows them: every routine
// keeps each pixel's alpha as it is, keeps a pixel of alpha 0 black and never gives a colour
// above its pixel's alpha. Captured pixels are opaque (alpha 255), and for them the routines
// are the plain colour operations.
#pragma once

#include <cstdint>

// A locked image: `height` rows of `width` pixels; row r starts at first + r * pitch.
struct PixelRows {
    uint8_t* first;
    int32_t pitch; // bytes from one row to the next, negative for an image stored bottom-up
    uint32_t width;
    uint32_t height;
};

// Colour inversion: each of red, green and blue becomes its complement. Dark text on a white
// page becomes light text on black, for eyes that glare at bright backgrounds.
void InvertColours(const PixelRows& rows);

// Grayscale: each pixel's luma (0.299 red, 0.587 green, 0.114 blue) in all three colours.
// Takes away colour that disturbs or that a user cannot tell apart.
void Grayscale(const PixelRows& rows);

// Lightness inversion: light becomes dark and dark light while every hue and its saturation stay.
// Each of red, green and blue becomes c + 255 - (max + min), max and min being the largest and the
// smallest of the three (c + alpha - (max + min) for a pixel of any alpha). The lightness of HSL,
// (max + min) / 2, turns into 255 minus itself, and the differences between the colours, which
// make hue and saturation, stay as they were. White and black swap, greys invert as with
// InvertColours, and a pure red stays red; a dark blue link on a white page becomes a light blue
// one on black, where InvertColours makes it yellow. Applied twice it gives back the image.
void InvertLightness(const PixelRows& rows);

// Yellow on black: the inverted luma, its contrast tripled around the middle, shown as yellow.
// Dark text on a light background becomes bright yellow on black, light text on a dark
// background black on yellow; greys keep their order.
void YellowOnBlack(const PixelRows& rows);
