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

void DrawPanel(Canvas& canvas) {
    const double right = kSplashWidth - 5;
    const double bottom = kSplashHeight - 5;
    Fill(canvas, RoundedRect(4, 4, right, bottom, 28),
         VerticalGradient(kPanelTop, kPanelBottom, 4, bottom));
    Fill(canvas,
         Difference(RoundedRect(4, 4, right, bottom, 28),
                    RoundedRect(6, 6, right - 2, bottom - 2, 26)),
         kPanelEdge);
}

// The glass shows the first letter of the name enlarged, as the lens would.
void DrawLens(Canvas& canvas) {
    const double diagonal = std::sqrt(0.5);
    const Point handleStart{kLensCentre.x + kRimRadius * diagonal,
                            kLensCentre.y + kRimRadius * diagonal};
    Fill(canvas, Capsule(handleStart, {236, 166}, 9), kLensHandle);
    Fill(canvas, Capsule({214, 144}, {236, 166}, 6), kHandleGrip);

    const Shape glass = Disc(kLensCentre, kGlassRadius);
    Fill(canvas, glass, kLensGlass);
    const double scale = 8;
    const double letterLeft = std::round(kLensCentre.x - kGlyphColumns * scale / 2) - 0.5;
    const double letterTop = std::round(kLensCentre.y - kGlyphRows * scale / 2) - 0.5;
    Fill(canvas, TextShape("V", letterLeft + 3, letterTop + 3, scale), kLetterShadow);
    Fill(canvas, TextShape("V", letterLeft, letterTop, scale), kLetterInk);
    Fill(canvas, Intersection(glass, Difference(Disc({138, 68}, 20), Disc({146, 76}, 20))),
         kLensGlint);

    Fill(canvas, Difference(Disc(kLensCentre, kRimRadius), glass),
         VerticalGradient(kLensRimLight, kLensRimDark, kLensCentre.y - kRimRadius,
                          kLensCentre.y + kRimRadius));
}

void DrawName(Canvas& canvas) {
    const double scale = 5;
    const double left = std::round((kSplashWidth - TextWidth(kProductName, scale)) / 2) - 0.5;
    const double top = 180 - 0.5;
    Fill(canvas, TextShape(kProductName, left + 2, top + 2, scale), kLetterShadow);
    Fill(canvas, TextShape(kProductName, left, top, scale), kLetterInk);
}

} // namespace

Canvas DrawSplash() {
    Canvas canvas(kSplashWidth, kSplashHeight);
    DrawPanel(canvas);
    DrawLens(canvas);
    DrawName(canvas);
    return canvas;
}
