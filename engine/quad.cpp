#include "quad.h"

namespace {

constexpr float kCursorSide = 128.0f;

} // namespace

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
    const float left = static_cast<float>(x) - kCursorSide / 2 - 0.5f;
    const float top = static_cast<float>(y) - kCursorSide / 2 - 0.5f;
    return QuadBetween(left, top, left + kCursorSide, top + kCursorSide);
}
