#include "desktop_capture.h"

#include <cstdint>
#include <cstring>

#include "capture_geometry.h"
#include "display_path.h"
#include "error_reporter.h"
#include "lens_image.h"
#include "lens_pixels.h"
#include "renderer_state.h"
#include "scoped_handles.h"

namespace {

constexpr DWORD kCopyWithLayered = SRCCOPY | CAPTUREBLT; // 0x40CC0020

// The part of the lens image that GDI filled with screen content; every other pixel of the
// captured frame is transparent. `fresh` is false when the screen could not be read at all, and
// the capture then keeps the last frame's content.
struct CapturedArea {
    bool fresh;
    UINT firstRow, endRow;
    UINT firstColumn, endColumn;
};

CapturedArea WholeImage(const LensImage& image) {
    return CapturedArea{true, 0, image.Height(), 0, image.Width()};
}

// The screen's device context for one capture: the caller's, or one taken for it. Null, with the
// failure reported, when none can be had.
class ScreenDc {
public:
    explicit ScreenDc(HDC held) : taken_(nullptr, held == nullptr ? GetDC(nullptr) : nullptr) {
        dc_ = held != nullptr ? held : taken_.Get();
        if (dc_ == nullptr) {
            ReportError("Not Desktop DC", static_cast<int>(GetLastError()), "CaptureDesktop");
        }
    }
    HDC Get() const { return dc_; }

private:
    WindowDc taken_;
    HDC dc_;
};

// Stretches the part of the source that lies on the screen into its place in the image and
// leaves the rest black, as a copy of the whole source gives on Windows. Stretching only the
// visible part also keeps systems that return nothing for a partly off-screen source honest.
CapturedArea CopyFullScreen(LensImage& image, const ScreenSource& screenSource, int sx, int sy,
                            int sw, int sh) {
    const ScreenDc screen(screenSource.dc);
    if (screen.Get() == nullptr) {
        return CapturedArea{};
    }
    const int width = static_cast<int>(image.Width());
    const int height = static_cast<int>(image.Height());
    const StretchPart part = VisibleStretch(sx, sy, sw, sh, screenSource.bounds, width, height);
    if (!part.whole) {
        PatBlt(image.Dc(), 0, 0, width, height, BLACKNESS);
    }
    if (!part.nothing) {
        StretchBlt(image.Dc(), part.dstX, part.dstY, part.dstWidth, part.dstHeight, screen.Get(),
                   part.srcX, part.srcY, part.srcWidth, part.srcHeight, kCopyWithLayered);
    }
    return WholeImage(image);
}

// The first index at or past `end` (a bound in floating point), counting from `first`, and not
// past `limit`.
UINT EndIndex(UINT first, double end, UINT limit) {
    UINT index = first;
    while (index < limit && index < end) {
        ++index;
    }
    return index;
}

// The part of the top-level window under the pointer that lies inside the source, copied
// unscaled into its place in the top-left sw x sh block of the image. The area in the block, or
// an empty one when no window lies there.
CapturedArea CopyWindowPart(LensImage& image, int sx, int sy, int sw, int sh) {
    const CapturedArea empty = {true, 0, 0, 0, 0}; // every pixel transparent
    if (sw <= 0 || sh <= 0) {
        return empty;
    }
    POINT pointer = {};
    GetCursorPos(&pointer);
    HWND root = GetAncestor(WindowFromPoint(pointer), GA_ROOT);
    RECT window = {};
    if (root == nullptr || !GetWindowRect(root, &window)) {
        return empty;
    }
    WindowDc source(root, GetWindowDC(root));
    if (source.Get() == nullptr) {
        return empty;
    }
    const int dx = window.left - sx;
    const int dy = window.top - sy;
    const int destX = dx > 0 ? dx : 0;
    const int destY = dy > 0 ? dy : 0;
    const int cutRight = sx + sw - window.right > 0 ? sx + sw - window.right : 0;
    const int cutBottom = sy + sh - window.bottom > 0 ? sy + sh - window.bottom : 0;
    const int copyWidth = sw - cutRight - destX;
    const int copyHeight = sh - cutBottom - destY;
    BitBlt(image.Dc(), destX, destY, copyWidth, copyHeight, source.Get(), dx < 0 ? -dx : 0,
           dy < 0 ? -dy : 0, kCopyWithLayered);
    if (copyWidth <= 0 || copyHeight <= 0) {
        return empty;
    }
    return CapturedArea{true, static_cast<UINT>(destY), static_cast<UINT>(destY + copyHeight),
                        static_cast<UINT>(destX), static_cast<UINT>(destX + copyWidth)};
}

// The window's part, unscaled in the top-left block, then that block stretched over the image.
CapturedArea CopyWindowUnderPointer(LensImage& image, int sx, int sy, int sw, int sh) {
    const CapturedArea part = CopyWindowPart(image, sx, sy, sw, sh);
    if (sw <= 0 || sh <= 0) {
        return part;
    }
    StretchBlt(image.Dc(), 0, 0, static_cast<int>(image.Width()), static_cast<int>(image.Height()),
               image.Dc(), 0, 0, sw, sh, SRCCOPY);
    if (part.endRow == part.firstRow) {
        return part;
    }
    const double scaleX = static_cast<double>(image.Width()) / sw;
    const double scaleY = static_cast<double>(image.Height()) / sh;
    CapturedArea area;
    area.fresh = true;
    area.firstRow = static_cast<UINT>(part.firstRow * scaleY);
    area.endRow = EndIndex(area.firstRow, part.endRow * scaleY, image.Height());
    area.firstColumn = static_cast<UINT>(part.firstColumn * scaleX);
    area.endColumn = EndIndex(area.firstColumn, part.endColumn * scaleX, image.Width());
    return area;
}

CapturedArea CopyScreen(LensImage& image, const ScreenSource& screen, int sx, int sy, int sw,
                        int sh, DisplayPath path) {
    const CapturedArea area = CapturesOneWindow(path)
                                  ? CopyWindowUnderPointer(image, sx, sy, sw, sh)
                                  : CopyFullScreen(image, screen, sx, sy, sw, sh);
    GdiFlush(); // GDI has written the image's memory before it is read
    return area;
}

// The captured frame: the area's pixels of the top-left width x height block made opaque, every
// other pixel of the block transparent black. `to` may be the image itself.
void MakeFrame(const LensImage& image, UINT width, UINT height, const CapturedArea& area,
               uint8_t* to, LONG pitch) {
    for (UINT i = 0; i < height; ++i) {
        uint32_t* target = reinterpret_cast<uint32_t*>(to + static_cast<INT_PTR>(i) * pitch);
        if (i < area.firstRow || i >= area.endRow) {
            std::memset(target, 0, width * 4);
            continue;
        }
        const uint32_t* source = image.Row(i);
        for (UINT j = 0; j < area.firstColumn; ++j) {
            target[j] = 0;
        }
        CopyOpaque(source + area.firstColumn, target + area.firstColumn,
                   static_cast<int32_t>(area.endColumn - area.firstColumn));
        for (UINT j = area.endColumn; j < width; ++j) {
            target[j] = 0;
        }
    }
}

void MakeFrame(const LensImage& image, const CapturedArea& area, uint8_t* to, LONG pitch) {
    MakeFrame(image, image.Width(), image.Height(), area, to, pitch);
}

// The source of a smooth frame, unscaled, in the top-left sw x sh block of `source` as the
// captured frame would show it at zoom 1: black off the screen, or only the window under the
// pointer with the rest transparent. False when the screen could not be read.
bool CopySource(LensImage& source, const ScreenSource& screen, int sx, int sy, int sw, int sh,
                DisplayPath path) {
    CapturedArea area;
    if (CapturesOneWindow(path)) {
        area = CopyWindowPart(source, sx, sy, sw, sh);
    } else {
        const ScreenDc screenDc(screen.dc);
        if (screenDc.Get() == nullptr) {
            return false;
        }
        const StretchPart part = VisibleStretch(sx, sy, sw, sh, screen.bounds, sw, sh);
        if (!part.whole) {
            PatBlt(source.Dc(), 0, 0, sw, sh, BLACKNESS);
        }
        if (!part.nothing) {
            BitBlt(source.Dc(), part.dstX, part.dstY, part.srcWidth, part.srcHeight, screenDc.Get(),
                   part.srcX, part.srcY, kCopyWithLayered);
        }
        area = CapturedArea{true, 0, static_cast<UINT>(sh), 0, static_cast<UINT>(sw)};
    }
    GdiFlush();
    MakeFrame(source, static_cast<UINT>(sw), static_cast<UINT>(sh), area,
              reinterpret_cast<uint8_t*>(source.Row(0)), source.Pitch());
    return true;
}

// True when this frame is scaled smoothly: a scaler is given, made for the image's size, and
// takes the source's size, which fits into `source`.
bool Smooth(const SmoothScaler* scaler, const LensImage& image, const LensImage& source, int sw,
            int sh) {
    return scaler != nullptr && sw > 0 && sh > 0 && scaler->targetWidth == image.Width() &&
           scaler->targetHeight == image.Height() && static_cast<UINT>(sw) <= source.Width() &&
           static_cast<UINT>(sh) <= source.Height() &&
           ScalesSmoothly(*scaler, static_cast<uint32_t>(sw), static_cast<uint32_t>(sh));
}

} // namespace

void CaptureDesktop(Renderer& renderer, LensImage& target, const ScreenSource& screen, int sx,
                    int sy, int sw, int sh, DisplayPath path, SmoothScaler* smooth) {
    IDirect3DSurface9* stretch = renderer.captureSurface.Get();
    if (stretch == nullptr || target.Dc() == nullptr) {
        return;
    }
    const bool smoothly = Smooth(smooth, target, target, sw, sh);
    CapturedArea area = {};
    if (smoothly) {
        area.fresh = CopySource(target, screen, sx, sy, sw, sh, path);
    } else {
        area = CopyScreen(target, screen, sx, sy, sw, sh, path);
    }
    if (!area.fresh) {
        return;
    }
    const RECT whole = {0, 0, static_cast<LONG>(target.Width()),
                        static_cast<LONG>(target.Height())};
    D3DLOCKED_RECT locked = {};
    const HRESULT result = stretch->LockRect(&locked, &whole, 0);
    if (FAILED(result)) {
        if (!CapturesOneWindow(path)) {
            ReportError("Failed", result, "g_Surface_BackgroundStretch->LockRect");
        }
        return;
    }
    if (smoothly) {
        ScaleSmooth(smooth, target.Row(0), target.Pitch(), static_cast<uint32_t>(sw),
                    static_cast<uint32_t>(sh), locked.pBits, locked.Pitch);
    } else {
        MakeFrame(target, area, static_cast<uint8_t*>(locked.pBits), locked.Pitch);
    }
    stretch->UnlockRect();
}

void CaptureDesktopToImage(LensImage& image, const ScreenSource& screen, int sx, int sy, int sw,
                           int sh, DisplayPath path, const SmoothCapture& smooth) {
    if (image.Dc() == nullptr) {
        return;
    }
    if (smooth.source != nullptr && smooth.source->Dc() != nullptr &&
        Smooth(smooth.scaler, image, *smooth.source, sw, sh)) {
        if (CopySource(*smooth.source, screen, sx, sy, sw, sh, path)) {
            ScaleSmooth(smooth.scaler, smooth.source->Row(0), smooth.source->Pitch(),
                        static_cast<uint32_t>(sw), static_cast<uint32_t>(sh), image.Row(0),
                        image.Pitch());
        }
        return;
    }
    const CapturedArea area = CopyScreen(image, screen, sx, sy, sw, sh, path);
    if (area.fresh) {
        MakeFrame(image, area, reinterpret_cast<uint8_t*>(image.Row(0)), image.Pitch());
    }
}

void DescribeFrame(DDSURFACEDESC* frame, UINT width, UINT height, LONG pitch, void* bits) {
    frame->dwHeight = height;
    frame->dwWidth = width;
    frame->lPitch = pitch;
    frame->lpSurface = bits;
    frame->ddpfPixelFormat.dwRGBBitCount = 32;
}

HRESULT LockCapturedFrame(Renderer& renderer, DDSURFACEDESC* frame) {
    if (renderer.captureSurface == nullptr) {
        return -1;
    }
    const RECT area = {0, 0, static_cast<LONG>(renderer.renderWidth),
                       static_cast<LONG>(renderer.renderHeight)};
    D3DLOCKED_RECT locked = {};
    const HRESULT result = renderer.captureSurface->LockRect(&locked, &area, 0);
    if (FAILED(result)) {
        return result;
    }
    DescribeFrame(frame, renderer.renderWidth, renderer.renderHeight, locked.Pitch, locked.pBits);
    return 0;
}
