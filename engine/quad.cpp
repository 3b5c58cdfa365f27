#include "quad.h"

Quad QuadBetween(float left, float top, float right, float bottom) {
    return Quad{{
        {right, top, 0.5f, 1.0f, 1.0f, 0.0f},
        {right, bottom, 0.5f, 1.0f, 1.0f, 1.0f},
        {left, top, 0.5f, 1.0f, 0.0f, 0.0f},
        {left, bottom, 0.5f, 1.0f, 0.0f, 1.0f},
    }};
}

Quad FullSizeQuad(unsigned width, unsigned height) {
    return QuadBetween(-0.5f, -0.5f, static_cast<float>(width) - 0.5f,
                       static_cast<float>(height) - 0.5f);
}

Quad CursorQuad(int x, int y) {
    const float side = static_cast<float>(kCursorSide);
    const float left = static_cast<float>(x) - side / 2 - 0.5f;
    const float top = static_cast<float>(y) - side / 2 - 0.5f;
    return QuadBetween(left, top, left + side, top + side);
}

const char* CursorBitmapName(unsigned cursorType) {
    static const char* const kCursorBitmaps[] = {"ARROW", "HAND", "CROSSHAIR", "DOT"};
    return cursorType >= 1 && cursorType <= 4 ? kCursorBitmaps[cursorType - 1] : nullptr;
}
