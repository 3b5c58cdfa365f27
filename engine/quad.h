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

// The 128 x 128 cursor sprite with its centre on pixel (x, y), its edges at x - 64 and y - 64
// with the same half-pixel offset.
Quad CursorQuad(int x, int y);
