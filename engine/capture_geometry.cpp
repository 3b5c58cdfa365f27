#include "capture_geometry.h"

#include <algorithm>

namespace {

// The target coordinate of a source offset, rounded to the nearest pixel.
int ToTarget(long long offset, long long sourceSize, long long targetSize) {
    return static_cast<int>((offset * targetSize + sourceSize / 2) / sourceSize);
}

} // namespace

StretchPart VisibleStretch(int sx, int sy, int sw, int sh, const ScreenBounds& screen,
                           int targetWidth, int targetHeight) {
    StretchPart part = {};
    if (sw <= 0 || sh <= 0 || targetWidth <= 0 || targetHeight <= 0) {
        part.nothing = true;
        return part;
    }
    const long long right = static_cast<long long>(sx) + sw;
    const long long bottom = static_cast<long long>(sy) + sh;
    const long long left = std::max<long long>(sx, screen.left);
    const long long top = std::max<long long>(sy, screen.top);
    const long long visibleRight = std::min<long long>(right, screen.right);
    const long long visibleBottom = std::min<long long>(bottom, screen.bottom);
    if (left >= visibleRight || top >= visibleBottom) {
        part.nothing = true;
        return part;
    }
    part.whole = left == sx && top == sy && visibleRight == right && visibleBottom == bottom;
    part.srcX = static_cast<int>(left);
    part.srcY = static_cast<int>(top);
    part.srcWidth = static_cast<int>(visibleRight - left);
    part.srcHeight = static_cast<int>(visibleBottom - top);
    part.dstX = ToTarget(left - sx, sw, targetWidth);
    part.dstY = ToTarget(top - sy, sh, targetHeight);
    part.dstWidth = ToTarget(visibleRight - sx, sw, targetWidth) - part.dstX;
    part.dstHeight = ToTarget(visibleBottom - sy, sh, targetHeight) - part.dstY;
    if (part.dstWidth <= 0 || part.dstHeight <= 0) {
        part.nothing = true;
        part.whole = false;
    }
    return part;
}
