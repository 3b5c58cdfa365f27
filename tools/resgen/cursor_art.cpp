#include "cursor_art.h"

#include <cstddef>
#include <utility>

#include "mask.h"

namespace {

constexpr double kHot = kCursorHotSpot;

// The arrow, its tip on the hot spot: a vertical left edge and a 45-degree upper edge meet there,
// so the tip row holds the hot spot alone and nothing lies above or left of it.
std::vector<Shape> ArrowParts() {
    constexpr double s = 3.0; // pixels per unit of the outline below
    auto at = [](double x, double y) { return Point{kHot + x * s, kHot + y * s}; };
    return {
        Polygon({at(0, 0), at(0, 17), at(4, 13), at(7, 20), at(10, 19), at(7, 12), at(12, 12)})};
}

// A hand pointing up, the flat top of its index finger centred on the hot spot. Each finger, the
// thumb and the palm are outlined on their own, so the lines between the fingers show; the
// fingers overlap their neighbours by a little less than one outline, which keeps those lines
// as thick as the outer one.
std::vector<Shape> HandParts() {
    auto finger = [](double left, double top, double right) {
        return RoundedRect(left, top, right, kHot + 37, 5);
    };
    return {
        finger(kHot - 6, kHot, kHot + 6),
        finger(kHot + 4, kHot + 18, kHot + 16),
        finger(kHot + 14, kHot + 19, kHot + 26),
        finger(kHot + 24, kHot + 21, kHot + 34),
        Capsule({kHot - 2, kHot + 44}, {kHot - 16, kHot + 33}, 6.5),
        RoundedRect(kHot - 6, kHot + 31, kHot + 34, kHot + 59, 8),
    };
}

// Four arms around the hot spot with a gap in the middle, so the pixel aimed at stays visible.
std::vector<Shape> CrosshairParts() {
    constexpr double half = 4.0; // half the arm width
    constexpr double inner = 8.0;
    constexpr double outer = 44.0;
    auto box = [](double left, double top, double right, double bottom) {
        return Polygon({{left, top}, {right, top}, {right, bottom}, {left, bottom}});
    };
    return {
        box(kHot - half, kHot - outer, kHot + half, kHot - inner),
        box(kHot - half, kHot + inner, kHot + half, kHot + outer),
        box(kHot - outer, kHot - half, kHot - inner, kHot + half),
        box(kHot + inner, kHot - half, kHot + outer, kHot + half),
    };
}

std::vector<Shape> DotParts() {
    return {Disc({kHot, kHot}, 13.5)};
}

std::vector<Shape> PartsOf(CursorKind kind) {
    switch (kind) {
    case CursorKind::Arrow:
        return ArrowParts();
    case CursorKind::Hand:
        return HandParts();
    case CursorKind::Crosshair:
        return CrosshairParts();
    case CursorKind::Dot:
        break;
    }
    return DotParts();
}

} // namespace

IndexedPicture DrawCursor(CursorKind kind) {
    Mask figure{kCursorSize, kCursorSize, std::vector<uint8_t>(kCursorSize * kCursorSize)};
    Mask fill = figure;
    for (const Shape& part : PartsOf(kind)) {
        const Mask area = Rasterise(part, kCursorSize, kCursorSize);
        figure = Combined(figure, area);
        fill = Combined(fill, Eroded(area, kCursorOutline));
    }
    if (kind == CursorKind::Dot) {
        // A black centre marks the hot spot.
        fill = Without(fill, Rasterise(Disc({kHot, kHot}, 2.5), kCursorSize, kCursorSize));
    }

    IndexedPicture picture{kCursorSize, kCursorSize, SixteenColours(),
                           std::vector<uint8_t>(kCursorSize * kCursorSize, kBlueIndex)};
    for (size_t i = 0; i < picture.indices.size(); ++i) {
        if (fill.on[i] != 0) {
            picture.indices[i] = kWhiteIndex;
        } else if (figure.on[i] != 0) {
            picture.indices[i] = kBlackIndex;
        }
    }
    return picture;
}
