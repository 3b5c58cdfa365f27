// The quads the renderer draws: four pre-transformed vertices (screen position in pixels, then
// texture coordinates) drawn as a strip right-top, right-bottom, left-top, left-bottom, the whole
// texture over the quad. No Windows headers.
#pragma once

struct QuadVertex {
    float x, y, z, rhw;
    float u, v;
};
static_assert(sizeof(QuadVertex) == 24, "24-byte vertices");

struct Quad {
    QuadVertex corners[4];
};
static_assert(sizeof(Quad) == 96, "a quad is 96 bytes of vertices");

// The quad from (left, top) to (right, bottom), in pixels.
Quad QuadBetween(float left, float top, float right, float bottom);

// Maps texel (i, j) of a width x height texture onto pixel (i, j) of a target of that size:
// pixel centres sit on whole coordinates, so the edges lie half a pixel outside.
Quad FullSizeQuad(unsigned width, unsigned height);

// The side of the internal cursor's sprite in lens pixels, whatever the zoom.
constexpr int kCursorSide = 128;
// The internal cursor's pictures among the engine's resources, for cursorType 1 to 4 ("ARROW",
// "HAND", "CROSSHAIR", "DOT"); null for any other type, which draws no cursor.
const char* CursorBitmapName(unsigned cursorType);
// The colour that the pictures' loaders make transparent: opaque pure blue (A8R8G8B8).
constexpr unsigned kCursorColourKey = 0xFF0000FF;

// The 128 x 128 cursor sprite with its centre on pixel (x, y), its edges at x - 64 and y - 64
// with the same half-pixel offset.
Quad CursorQuad(int x, int y);
