#include "level_badge.h"

#include <cstring>

#include "packed_yuv.h"

namespace {

constexpr UINT kTextFormat = DT_SINGLELINE | DT_NOPREFIX;
constexpr DWORD kSurfaceLock = DDLOCK_WAIT | DDLOCK_WRITEONLY | DDLOCK_NOSYSLOCK;
constexpr uint32_t kOpaque = 0xFF000000u;

void Fill(HDC dc, int left, int top, int right, int bottom, int stockBrush) {
    const RECT area = {left, top, right, bottom};
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(stockBrush)));
}

// GDI leaves alpha 0 where it draws; the box is opaque throughout.
void MakeOpaque(const LevelBadge& badge) {
    GdiFlush();
    for (int y = 0; y < badge.height; ++y) {
        uint32_t* row = badge.image.Row(static_cast<UINT>(y));
        for (int x = 0; x < badge.width; ++x) {
            row[x] |= kOpaque;
        }
    }
}

void Draw(LevelBadge* badge, const char* text) {
    const HDC dc = badge->image.Dc();
    const HGDIOBJ previous = SelectObject(dc, badge->font.Get());
    RECT measured = {0, 0, 0, 0};
    DrawTextA(dc, text, -1, &measured, kTextFormat | DT_CALCRECT);
    const LevelLayout& l = badge->layout;
    const int inset = l.border + l.padding;
    const int wide = static_cast<int>(badge->image.Width());
    const int high = static_cast<int>(badge->image.Height());
    badge->width = measured.right + 2 * inset < wide ? measured.right + 2 * inset : wide;
    badge->height = measured.bottom + 2 * inset < high ? measured.bottom + 2 * inset : high;
    Fill(dc, 0, 0, badge->width, badge->height, WHITE_BRUSH);
    Fill(dc, l.border, l.border, badge->width - l.border, badge->height - l.border, BLACK_BRUSH);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT inside = {inset, inset, badge->width - inset, badge->height - inset};
    DrawTextA(dc, text, -1, &inside, kTextFormat | DT_END_ELLIPSIS);
    SelectObject(dc, previous);
    MakeOpaque(*badge);
}

} // namespace

bool CreateLevelBadge(LevelBadge* badge, UINT lensWidth, UINT lensHeight) {
    badge->layout = LayoutLevel(lensWidth, lensHeight);
    const LevelLayout& l = badge->layout;
    const UINT tallest = static_cast<UINT>(2 * (l.fontHeight + l.border + l.padding));
    badge->font.Reset(CreateFontA(l.fontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma"));
    return badge->font &&
           badge->image.Create(lensWidth, tallest < lensHeight ? tallest : lensHeight);
}

void StartLevelBadge(LevelBadge* badge, const OptionTexts& texts, uint32_t now) {
    if (StartLevel(&badge->clock, texts.levelTick, now) && badge->image.Dc() != nullptr) {
        Draw(badge, texts.levelText);
    }
}

const LevelBadge* LevelToShow(LevelBadge* badge, uint32_t now) {
    const bool drawn = badge->width > 0 && badge->height > 0;
    return LevelShowing(&badge->clock, now) && drawn ? badge : nullptr;
}

void StampLevel(const LevelBadge& badge, const LensImage& image) {
    const LevelArea area = PlaceLevel(badge.width, badge.height, static_cast<int>(image.Width()),
                                      static_cast<int>(image.Height()), badge.layout.margin);
    for (int y = 0; y < area.height; ++y) {
        std::memcpy(image.Row(static_cast<UINT>(area.y + y)) + area.x,
                    badge.image.Row(static_cast<UINT>(y)), static_cast<size_t>(area.width) * 4);
    }
}

void StampLevel(const LevelBadge& badge, IDirectDrawSurface* surface, DisplayPath path) {
    DDSURFACEDESC locked;
    std::memset(&locked, 0, sizeof(locked));
    locked.dwSize = sizeof(locked);
    if (FAILED(surface->Lock(nullptr, &locked, kSurfaceLock, nullptr))) {
        return;
    }
    const LevelArea area = PlaceLevel(badge.width, badge.height, static_cast<int>(locked.dwWidth),
                                      static_cast<int>(locked.dwHeight), badge.layout.margin);
    uint8_t* first =
        static_cast<uint8_t*>(locked.lpSurface) + static_cast<INT_PTR>(area.y) * locked.lPitch;
    if (IsPackedYuvPath(path)) {
        const PackedYuvConversion convert =
            path == DisplayPath::kOverlayYuy2 ? RgbToYuy2 : RgbToUyvy;
        convert(static_cast<uint32_t>(area.height), area.width, badge.image.Row(0),
                first + area.x * 2, badge.image.Pitch(), locked.lPitch);
    } else {
        for (int y = 0; y < area.height; ++y) {
            std::memcpy(first + static_cast<INT_PTR>(y) * locked.lPitch + area.x * 4,
                        badge.image.Row(static_cast<UINT>(y)), static_cast<size_t>(area.width) * 4);
        }
    }
    surface->Unlock(locked.lpSurface);
}
