#include "splash_art.h"

#include <cmath>

#include "lens_colours.h"
#include "pixel_font.h"

namespace {

constexpr const char* kProductName = "Vexlume";

constexpr Colour kPanelTop{0.11, 0.18, 0.32, 0.94};
constexpr Colour kPanelBottom{0.04, 0.07, 0.15, 0.94};
constexpr Colour kPanelEdge{0.47, 0.67, 0.9, 0.9};
constexpr Colour kHandleGrip{0.35, 0.22, 0.14, 1.0};

constexpr Point kLensCentre{160, 90};
constexpr double kGlassRadius = 50;
constexpr double kRimRadius = 60;

// The picture is laid out at its first size; `k` times as large, every pixel of the first size
// becomes k x k pixels, so edges fall on the same places.
struct Scale {
    double k;

    double X(double x) const { return (x + 0.5) * k - 0.5; }
    Point At(Point p) const { return {X(p.x), X(p.y)}; }
    double Length(double length) const { return length * k; }
};

void DrawPanel(Canvas& canvas, const Scale& s) {
    const double right = kSplashWidth - 5;
    const double bottom = kSplashHeight - 5;
    const Shape panel = RoundedRect(s.X(4), s.X(4), s.X(right), s.X(bottom), s.Length(28));
    Fill(canvas, panel, VerticalGradient(kPanelTop, kPanelBottom, s.X(4), s.X(bottom)));
    Fill(canvas,
         Difference(panel,
                    RoundedRect(s.X(6), s.X(6), s.X(right - 2), s.X(bottom - 2), s.Length(26))),
         kPanelEdge);
}

// The glass shows the first letter of the name enlarged, as the lens would.
void DrawLens(Canvas& canvas, const Scale& s) {
    const double diagonal = std::sqrt(0.5);
    const Point handleStart{kLensCentre.x + kRimRadius * diagonal,
                            kLensCentre.y + kRimRadius * diagonal};
    Fill(canvas, Capsule(s.At(handleStart), s.At({236, 166}), s.Length(9)), kLensHandle);
    Fill(canvas, Capsule(s.At({214, 144}), s.At({236, 166}), s.Length(6)), kHandleGrip);

    const Shape glass = Disc(s.At(kLensCentre), s.Length(kGlassRadius));
    Fill(canvas, glass, kLensGlass);
    const double scale = 8;
    const double letterLeft = std::round(kLensCentre.x - kGlyphColumns * scale / 2) - 0.5;
    const double letterTop = std::round(kLensCentre.y - kGlyphRows * scale / 2) - 0.5;
    const auto letter = [&](double dx, double dy) {
        return TextShape("V", s.X(letterLeft + dx), s.X(letterTop + dy), s.Length(scale));
    };
    Fill(canvas, letter(3, 3), kLetterShadow);
    Fill(canvas, letter(0, 0), kLetterInk);
    Fill(canvas,
         Intersection(glass, Difference(Disc(s.At({138, 68}), s.Length(20)),
                                        Disc(s.At({146, 76}), s.Length(20)))),
         kLensGlint);

    Fill(canvas, Difference(Disc(s.At(kLensCentre), s.Length(kRimRadius)), glass),
         VerticalGradient(kLensRimLight, kLensRimDark, s.X(kLensCentre.y - kRimRadius),
                          s.X(kLensCentre.y + kRimRadius)));
}

void DrawName(Canvas& canvas, const Scale& s) {
    const double scale = 5;
    const double left = std::round((kSplashWidth - TextWidth(kProductName, scale)) / 2) - 0.5;
    const double top = 180 - 0.5;
    Fill(canvas, TextShape(kProductName, s.X(left + 2), s.X(top + 2), s.Length(scale)),
         kLetterShadow);
    Fill(canvas, TextShape(kProductName, s.X(left), s.X(top), s.Length(scale)), kLetterInk);
}

} // namespace

Canvas DrawSplash(int scale) {
    const Scale s{static_cast<double>(scale)};
    Canvas canvas(kSplashWidth * scale, kSplashHeight * scale);
    DrawPanel(canvas, s);
    DrawLens(canvas, s);
    DrawName(canvas, s);
    return canvas;
}
