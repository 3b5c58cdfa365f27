#include "shapes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEdgeTolerance = 1e-9;

double SquaredDistanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = 0.0;
    if (length2 > 0.0) {
        t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0);
    }
    const double ex = p.x - (a.x + t * dx);
    const double ey = p.y - (a.y + t * dy);
    return ex * ex + ey * ey;
}

} // namespace

Shape Polygon(std::vector<Point> corners) {
    return [corners = std::move(corners)](double x, double y) {
        const Point p{x, y};
        bool inside = false;
        const size_t count = corners.size();
        for (size_t i = 0, j = count - 1; i < count; j = i++) {
            const Point a = corners[j];
            const Point b = corners[i];
            if (SquaredDistanceToSegment(p, a, b) <= kEdgeTolerance * kEdgeTolerance) {
                return true;
            }
            if ((b.y > y) != (a.y > y) && x < (a.x - b.x) * (y - b.y) / (a.y - b.y) + b.x) {
                inside = !inside;
            }
        }
        return inside;
    };
}

Shape Disc(Point centre, double radius) {
    return [=](double x, double y) {
        const double dx = x - centre.x;
        const double dy = y - centre.y;
        return dx * dx + dy * dy <= radius * radius + kEdgeTolerance;
    };
}

Shape Capsule(Point a, Point b, double radius) {
    return [=](double x, double y) {
        return SquaredDistanceToSegment({x, y}, a, b) <= radius * radius + kEdgeTolerance;
    };
}

Shape RoundedRect(double left, double top, double right, double bottom, double radius) {
    return [=](double x, double y) {
        if (x < left || x > right || y < top || y > bottom) {
            return false;
        }
        const double cx = std::clamp(x, left + radius, right - radius);
        const double cy = std::clamp(y, top + radius, bottom - radius);
        const double dx = x - cx;
        const double dy = y - cy;
        return dx * dx + dy * dy <= radius * radius + kEdgeTolerance;
    };
}

Shape Gear(Point centre, int teeth, double outer, double body, double hole, double toothShare) {
    return [=](double x, double y) {
        const double dx = x - centre.x;
        const double dy = y - centre.y;
        const double r = std::sqrt(dx * dx + dy * dy);
        if (r < hole || r > outer) {
            return false;
        }
        if (r <= body) {
            return true;
        }
        // Teeth are centred on the angles k / teeth of a full turn, the first one pointing left.
        const double turns = (std::atan2(dy, dx) + kPi) / (2.0 * kPi) * teeth + toothShare / 2;
        return turns - std::floor(turns) < toothShare;
    };
}

Shape Union(std::vector<Shape> parts) {
    return [parts = std::move(parts)](double x, double y) {
        return std::any_of(parts.begin(), parts.end(),
                           [&](const Shape& part) { return part(x, y); });
    };
}

Shape Intersection(Shape a, Shape b) {
    return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && b(x, y); };
}

Shape Difference(Shape kept, Shape removed) {
    return [kept = std::move(kept), removed = std::move(removed)](double x, double y) {
        return kept(x, y) && !removed(x, y);
    };
}

Shape Translated(Shape shape, double dx, double dy) {
    return [shape = std::move(shape), dx, dy](double x, double y) { return shape(x - dx, y - dy); };
}
