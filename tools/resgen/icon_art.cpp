#include "icon_art.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr Colour kRim{0.08, 0.08, 0.14, 1.0};
constexpr Colour kHandle{0.18, 0.12, 0.08, 1.0};
constexpr Colour kGlass{0.3, 0.82, 1.0, 1.0};
constexpr Colour kStopGlass{0.86, 0.08, 0.08, 1.0};
constexpr Colour kWhite{1.0, 1.0, 1.0, 1.0};
constexpr Colour kGearBody{0.55, 0.58, 0.65, 1.0};
constexpr Colour kGearFace{0.8, 0.82, 0.86, 1.0};

// Figures are laid out on a square of 32 units whose edges are the icon's edges.
struct Layout {
    double u; // pixels per unit

    explicit Layout(const Canvas& canvas) : u(canvas.width / 32.0) {}
    Point At(double x, double y) const { return {x * u - 0.5, y * u - 0.5}; }
    double Length(double units) const { return units * u; }
};

void DrawMagnifier(Canvas& canvas, bool stopping) {
    const Layout layout(canvas);
    const Point centre = layout.At(13.5, 13.5);
    Fill(canvas, Capsule(layout.At(21.5, 21.5), layout.At(29, 29), layout.Length(3.2)), kHandle);
    const Shape glass = Disc(centre, layout.Length(8));
    Fill(canvas, Difference(Disc(centre, layout.Length(11.5)), glass), kRim);
    if (stopping) {
        Fill(canvas, glass, kStopGlass);
        const Point topLeft = layout.At(8.5, 11.7);
        const Point bottomRight = layout.At(18.5, 15.3);
        Fill(canvas,
             RoundedRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y, layout.Length(0.8)),
             kWhite);
    } else {
        Fill(canvas, glass, kGlass);
        Fill(canvas, Intersection(glass, Disc(layout.At(10.5, 10.5), layout.Length(2.6))), kWhite);
    }
}

// A grey toothed wheel with a dark outline and a light ring around its hole.
void DrawGear(Canvas& canvas) {
    const Layout layout(canvas);
    const Point centre = layout.At(16, 16);
    auto length = [&](double units) { return layout.Length(units); };
    Fill(canvas, Gear(centre, 6, length(15.5), length(10.5), length(4), 0.5), kRim);
    Fill(canvas, Gear(centre, 6, length(13.5), length(8.5), length(6), 0.36), kGearBody);
    Fill(canvas, Difference(Disc(centre, length(8.5)), Disc(centre, length(6))), kGearFace);
}

double SquaredDistance(const Rgb& entry, const Colour& colour) {
    const double dr = entry.r - colour.r * 255.0;
    const double dg = entry.g - colour.g * 255.0;
    const double db = entry.b - colour.b * 255.0;
    return dr * dr + dg * dg + db * db;
}

// The palette indices pixels may take: all of them, or those nearest to the inks.
std::vector<uint8_t> AllowedIndices(const std::vector<Rgb>& palette, int bitsPerPixel,
                                    const std::vector<Colour>& inks) {
    std::vector<uint8_t> allowed;
    if (bitsPerPixel == 8) {
        for (size_t i = 0; i < palette.size(); ++i) {
            allowed.push_back(static_cast<uint8_t>(i));
        }
        return allowed;
    }
    for (const Colour& ink : inks) {
        allowed.push_back(NearestIndex(palette, ink.r, ink.g, ink.b));
    }
    return allowed;
}

} // namespace

Canvas DrawIcon(IconKind kind, int size) {
    Canvas canvas(size, size);
    if (kind == IconKind::Settings) {
        DrawGear(canvas);
    } else {
        DrawMagnifier(canvas, kind == IconKind::Stopping);
    }
    return canvas;
}

std::vector<Colour> IconInks(IconKind kind) {
    switch (kind) {
    case IconKind::Normal:
        return {kRim, kHandle, kGlass, kWhite};
    case IconKind::Stopping:
        return {kRim, kHandle, kStopGlass, kWhite};
    case IconKind::Settings:
        break;
    }
    return {kRim, kGearBody, kGearFace};
}

IconImage QuantisedIcon(const Canvas& canvas, int bitsPerPixel, const std::vector<Colour>& inks) {
    const std::vector<Rgb>& palette =
        bitsPerPixel == 4 ? SixteenColours() : TwoHundredFiftySixColours();
    const std::vector<uint8_t> allowed = AllowedIndices(palette, bitsPerPixel, inks);
    const size_t count = static_cast<size_t>(canvas.width) * canvas.height;
    IconImage image{{canvas.width, canvas.height, palette, std::vector<uint8_t>(count)},
                    bitsPerPixel,
                    std::vector<uint8_t>(count)};
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const size_t i = static_cast<size_t>(y) * canvas.width + x;
            const Colour colour = StraightColour(canvas, x, y);
            if (colour.a < 0.5) {
                image.transparent[i] = 1;
                continue;
            }
            image.picture.indices[i] =
                *std::min_element(allowed.begin(), allowed.end(), [&](uint8_t a, uint8_t b) {
                    return SquaredDistance(palette[a], colour) <
                           SquaredDistance(palette[b], colour);
                });
        }
    }
    return image;
}

std::vector<IconImage> IconImages(IconKind kind) {
    std::vector<IconImage> images;
    for (int size : {32, 16}) {
        const Canvas canvas = DrawIcon(kind, size);
        images.push_back(QuantisedIcon(canvas, 4, IconInks(kind)));
        images.push_back(QuantisedIcon(canvas, 8, IconInks(kind)));
    }
    for (int size : {20, 24, 40, 48, 64}) {
        images.push_back(QuantisedIcon(DrawIcon(kind, size), 8, IconInks(kind)));
    }
    return images;
}
