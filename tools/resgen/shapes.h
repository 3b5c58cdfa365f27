// Plane figures as inside-tests on continuous coordinates: x grows to the right, y downwards, and
// pixel (i, j) is the unit square centred on the point (i, j). No Windows headers.
#pragma once

#include <functional>
#include <vector>

struct Point {
    double x;
    double y;
};

// True where the point lies inside the figure; boundaries count as inside.
using Shape = std::function<bool(double x, double y)>;

// A closed polygon (even-odd rule), its edges included.
Shape Polygon(std::vector<Point> corners);
Shape Disc(Point centre, double radius);
// The points within `radius` of the segment a-b: a thick line with round ends.
Shape Capsule(Point a, Point b, double radius);
Shape RoundedRect(double left, double top, double right, double bottom, double radius);
// A toothed wheel: `teeth` teeth reaching to `outer`, the body to `body`, a hole of `hole`;
// each tooth spans `toothShare` of its angular period, one of them centred on the negative x axis.
Shape Gear(Point centre, int teeth, double outer, double body, double hole, double toothShare);

Shape Union(std::vector<Shape> parts);
Shape Intersection(Shape a, Shape b);
Shape Difference(Shape kept, Shape removed);
Shape Translated(Shape shape, double dx, double dy);
