#include "view_geometry.h"

#include "dock_record.h"

namespace {

constexpr int64_t kPushMarginShare = 8; // the push margin is this share of the source's side

int32_t Saturate(int64_t value) {
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

bool operator==(const IntRect& a, const IntRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// One axis of a view; x and y follow the same rules.
struct Axis {
    int64_t shown;      // the view's side
    int64_t boundStart; // the bounds' first pixel
    int64_t boundSide;
    int64_t source; // the source's side
    int64_t point;
};

// The source start within its bounds; a source larger than its bounds starts at their start.
int64_t KeptInBounds(const Axis& a, int64_t start) {
    if (a.source >= a.boundSide || start < a.boundStart) {
        return a.boundStart;
    }
    const int64_t last = a.boundStart + a.boundSide - a.source;
    return start > last ? last : start;
}

int64_t Centred(const Axis& a) {
    return a.point - a.source / 2;
}

int64_t Proportional(const Axis& a) {
    if (a.boundSide <= a.source) {
        return a.boundStart;
    }
    return a.boundStart + (a.point + 1 - a.boundStart) * (a.boundSide - a.source) / a.boundSide;
}

int64_t Pushed(const Axis& a, int64_t previous) {
    const int64_t margin = a.source / kPushMarginShare;
    if (a.point < previous + margin) {
        return a.point - margin;
    }
    if (a.point > previous + a.source - 1 - margin) {
        return a.point - (a.source - 1 - margin);
    }
    return previous;
}

int64_t SourceStart(const Axis& a, uint32_t tracking, bool fromPrevious, int64_t previous) {
    switch (tracking) {
    case kTrackProportional:
        return KeptInBounds(a, Proportional(a));
    case kTrackPush:
        return KeptInBounds(a, fromPrevious ? Pushed(a, previous) : Centred(a));
    default:
        return KeptInBounds(a, Centred(a));
    }
}

// The middle of the point's magnified pixel, inside the view: (offset + 1/2) x shown / source,
// in whole numbers.
int32_t CursorInView(const Axis& a, int64_t start) {
    const int64_t offset = a.point - start;
    if (offset < 0 || a.shown <= 0) {
        return 0;
    }
    const int64_t cursor = (2 * offset + 1) * a.shown / (2 * a.source);
    return Saturate(cursor > a.shown - 1 ? a.shown - 1 : cursor);
}

} // namespace

int32_t DockThickness(const IntRect& monitor, uint32_t edge, uint32_t percent) {
    const bool across = edge == kDockLeft || edge == kDockRight;
    const int64_t side = across ? static_cast<int64_t>(monitor.right) - monitor.left
                                : static_cast<int64_t>(monitor.bottom) - monitor.top;
    const int64_t thickness = side * percent / 100;
    return thickness < 1 ? 1 : Saturate(thickness);
}

IntRect StripAlong(const IntRect& area, uint32_t edge, int32_t thickness) {
    IntRect strip = area;
    switch (edge) {
    case kDockBottom:
        strip.top = Saturate(static_cast<int64_t>(area.bottom) - thickness);
        break;
    case kDockLeft:
        strip.right = Saturate(static_cast<int64_t>(area.left) + thickness);
        break;
    case kDockRight:
        strip.left = Saturate(static_cast<int64_t>(area.right) - thickness);
        break;
    default:
        strip.bottom = Saturate(static_cast<int64_t>(area.top) + thickness);
        break;
    }
    return strip;
}

IntRect BesideStrip(const IntRect& area, const IntRect& strip, uint32_t edge) {
    const AreaRect beside =
        AreaBesideStrip(AreaRect{area.left, area.top, area.right, area.bottom},
                        AreaRect{strip.left, strip.top, strip.right, strip.bottom}, edge);
    return IntRect{beside.left, beside.top, beside.right, beside.bottom};
}

uint32_t ViewSourceSide(int32_t shownSide, uint32_t zoom) {
    if (shownSide <= 0) {
        return 1;
    }
    const uint64_t side = static_cast<uint64_t>(shownSide) * 100 / (zoom == 0 ? 100 : zoom);
    return side < 1 ? 1 : static_cast<uint32_t>(side);
}

ViewPlacement PlaceView(const ViewRequest& request, ViewFollow* follow) {
    const IntRect& shown = request.shown;
    const IntRect& bounds = request.bounds;
    ViewPlacement result;
    result.sourceWidth = ViewSourceSide(shown.right - shown.left, request.zoom);
    result.sourceHeight = ViewSourceSide(shown.bottom - shown.top, request.zoom);
    const Axis x = {static_cast<int64_t>(shown.right) - shown.left, bounds.left,
                    static_cast<int64_t>(bounds.right) - bounds.left, result.sourceWidth,
                    request.point.x};
    const Axis y = {static_cast<int64_t>(shown.bottom) - shown.top, bounds.top,
                    static_cast<int64_t>(bounds.bottom) - bounds.top, result.sourceHeight,
                    request.point.y};
    const bool fromPrevious = follow->placed && follow->bounds == bounds;
    const int64_t left = SourceStart(x, request.tracking, fromPrevious, follow->source.x);
    const int64_t top = SourceStart(y, request.tracking, fromPrevious, follow->source.y);

    LensPlacement& p = result.placement;
    p.point = request.point;
    p.lens = shown;
    p.source = {Saturate(left), Saturate(top)};
    p.view.zoomX = static_cast<double>(x.shown) / static_cast<double>(x.source);
    p.view.zoomY = static_cast<double>(y.shown) / static_cast<double>(y.source);
    p.view.cursorInLens = {CursorInView(x, left), CursorInView(y, top)};
    follow->placed = true;
    follow->source = p.source;
    follow->bounds = bounds;
    return result;
}
