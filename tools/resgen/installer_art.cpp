#include "installer_art.h"

#include <cmath>

#include "lens_colours.h"
#include "pixel_font.h"

namespace {

constexpr Colour kGroundTop{0.13, 0.22, 0.4, 1.0};
constexpr Colour kGroundBottom{0.03, 0.05, 0.12, 1.0};

constexpr Point kCentre{76, 112};
constexpr double kGlassRadius = 40;
constexpr double kRimRadius = 48;

// Letters of the pixel font set at `scale`, centred on `centreX`, with a drop shadow.
void DrawText(Canvas& canvas, const char* text, double centreX, double top, double scale) {
    const double left = std::round(centreX - TextWidth(text, scale) / 2) - 0.5;
    Fill(canvas, TextShape(text, left + scale / 2, top + scale / 2, scale), kLetterShadow);
    Fill(canvas, TextShape(text, left, top, scale), kLetterInk);
}

} // namespace

Canvas DrawInstallerSide() {
    Canvas canvas(kInstallerSideWidth, kInstallerSideHeight);
    Fill(canvas, RoundedRect(0, 0, kInstallerSideWidth, kInstallerSideHeight, 0),
         VerticalGradient(kGroundTop, kGroundBottom, 0, kInstallerSideHeight));

    const double reach = kRimRadius * std::sqrt(0.5);
    Fill(canvas, Capsule({kCentre.x + reach, kCentre.y + reach}, {140, 176}, 8), kLensHandle);
    const Shape glass = Disc(kCentre, kGlassRadius);
    Fill(canvas, glass, kLensGlass);
    DrawText(canvas, "V", kCentre.x, std::round(kCentre.y - kGlyphRows * 3.5) - 0.5, 7);
    Fill(canvas, Intersection(glass, Difference(Disc({58, 94}, 16), Disc({64, 100}, 16))),
         kLensGlint);
    Fill(canvas, Difference(Disc(kCentre, kRimRadius), glass),
         VerticalGradient(kLensRimLight, kLensRimDark, kCentre.y - kRimRadius,
                          kCentre.y + kRimRadius));

    DrawText(canvas, "Vexlume", kInstallerSideWidth / 2.0, 236.5, 3);
    return canvas;
}
