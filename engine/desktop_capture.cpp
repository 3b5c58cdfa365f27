#include "desktop_capture.h"

#include <cstdint>
#include <cstring>

#include "capture_geometry.h"
#include "error_reporter.h"
#include "renderer_state.h"
#include "scoped_handles.h"

namespace {

constexpr DWORD kCopyWithLayered = SRCCOPY | CAPTUREBLT; // 0x40CC0020
constexpr unsigned kOneWindowFormat = 5;

// A device context of a Direct3D surface, given back at the end of the scope.
class SurfaceDc {
public:
    explicit SurfaceDc(IDirect3DSurface9* surface) : surface_(surface) {
        result_ = surface_->GetDC(&dc_);
        if (FAILED(result_)) {
            dc_ = nullptr;
        }
    }
    ~SurfaceDc() {
        if (dc_ != nullptr) {
            surface_->ReleaseDC(dc_);
        }
    }
    SurfaceDc(const SurfaceDc&) = delete;
    SurfaceDc& operator=(const SurfaceDc&) = delete;
    HDC Get() const { return dc_; }
    HRESULT Result() const { return result_; }

private:
    IDirect3DSurface9* surface_;
    HDC dc_ = nullptr;
    HRESULT result_;
};

// A locked rectangle of a Direct3D surface, unlocked at the end of the scope.
class SurfaceLock {
public:
    SurfaceLock(IDirect3DSurface9* surface, const RECT& area) : surface_(surface) {
        result_ = surface_->LockRect(&locked_, &area, 0);
    }
    ~SurfaceLock() {
        if (Locked()) {
            surface_->UnlockRect();
        }
    }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;
    bool Locked() const { return SUCCEEDED(result_); }
    HRESULT Result() const { return result_; }
    uint32_t* Row(UINT row) const {
        return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked_.pBits) +
                                           static_cast<INT_PTR>(row) * locked_.Pitch);
    }
    UINT Pitch() const { return static_cast<UINT>(locked_.Pitch); }

private:
    IDirect3DSurface9* surface_;
    D3DLOCKED_RECT locked_ = {};
    HRESULT result_;
};

RECT RenderRect() {
    return RECT{0, 0, static_cast<LONG>(g_RenderWidth), static_cast<LONG>(g_RenderHeight)};
}

void CopyOpaque(const SurfaceLock& from, const SurfaceLock& to, UINT firstRow, UINT endRow,
                UINT firstColumn, UINT endColumn) {
    for (UINT i = firstRow; i < endRow; ++i) {
        const uint32_t* source = from.Row(i);
        uint32_t* target = to.Row(i);
        for (UINT j = firstColumn; j < endColumn; ++j) {
            target[j] = source[j] | 0xFF000000u;
        }
    }
}

ScreenBounds VirtualScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return ScreenBounds{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                        top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// Stretches the part of the source that lies on the screen into its place in the target and
// leaves the rest black, as a copy of the whole source gives on Windows. Stretching only the
// visible part also keeps systems that return nothing for a partly off-screen source honest.
void StretchFromScreen(HDC screen, HDC target, int sx, int sy, int sw, int sh) {
    const int width = static_cast<int>(g_RenderWidth);
    const int height = static_cast<int>(g_RenderHeight);
    const StretchPart part = VisibleStretch(sx, sy, sw, sh, VirtualScreen(), width, height);
    if (!part.whole) {
        PatBlt(target, 0, 0, width, height, BLACKNESS);
    }
    if (!part.nothing) {
        StretchBlt(target, part.dstX, part.dstY, part.dstWidth, part.dstHeight, screen, part.srcX,
                   part.srcY, part.srcWidth, part.srcHeight, kCopyWithLayered);
    }
}

void CaptureFullScreen(int sx, int sy, int sw, int sh) {
    {
        WindowDc screen(nullptr, GetDC(nullptr));
        if (screen.Get() == nullptr) {
            ReportError("Not Desktop DC", static_cast<int>(GetLastError()), "CaptureDesktop");
        }
        SurfaceDc target(g_Surface_BackgroundStretch24bit);
        if (target.Get() == nullptr) {
            ReportError("Not DC", target.Result(), "g_Surface_BackgroundStretch24bit->GetDC");
        } else if (screen.Get() != nullptr) {
            StretchFromScreen(screen.Get(), target.Get(), sx, sy, sw, sh);
        }
    }
    const RECT area = RenderRect();
    SurfaceLock stretch(g_Surface_BackgroundStretch, area);
    if (!stretch.Locked()) {
        ReportError("Failed", stretch.Result(), "g_Surface_BackgroundStretch->LockRect");
        return;
    }
    SurfaceLock captured(g_Surface_BackgroundStretch24bit, area);
    if (!captured.Locked()) {
        ReportError("Failed", captured.Result(), "g_Surface_BackgroundStretch24bit->LockRect");
        return;
    }
    CopyOpaque(captured, stretch, 0, g_RenderHeight, 0, g_RenderWidth);
}

// The part of the window under the pointer that lies inside the source, placed unscaled in the
// top-left sw x sh block of the surface.
struct WindowCopy {
    int destX, destY, copyWidth, copyHeight;
};

bool CopyWindowUnderPointer(int sx, int sy, int sw, int sh, WindowCopy* copy) {
    POINT pointer = {};
    GetCursorPos(&pointer);
    HWND root = GetAncestor(WindowFromPoint(pointer), GA_ROOT);
    RECT window = {};
    if (root == nullptr || !GetWindowRect(root, &window)) {
        return false;
    }
    WindowDc source(root, GetWindowDC(root));
    SurfaceDc target(g_Surface_BackgroundStretch24bit);
    if (source.Get() == nullptr || target.Get() == nullptr) {
        return false;
    }
    const int dx = window.left - sx;
    const int dy = window.top - sy;
    copy->destX = dx > 0 ? dx : 0;
    copy->destY = dy > 0 ? dy : 0;
    const int srcX = dx < 0 ? -dx : 0;
    const int srcY = dy < 0 ? -dy : 0;
    const int cutRight = sx + sw - window.right > 0 ? sx + sw - window.right : 0;
    const int cutBottom = sy + sh - window.bottom > 0 ? sy + sh - window.bottom : 0;
    copy->copyWidth = sw - cutRight - copy->destX;
    copy->copyHeight = sh - cutBottom - copy->destY;
    BitBlt(target.Get(), copy->destX, copy->destY, copy->copyWidth, copy->copyHeight, source.Get(),
           srcX, srcY, kCopyWithLayered);
    StretchBlt(target.Get(), 0, 0, static_cast<int>(g_RenderWidth),
               static_cast<int>(g_RenderHeight), target.Get(), 0, 0, sw, sh, SRCCOPY);
    return copy->copyWidth > 0 && copy->copyHeight > 0;
}

void CaptureOneWindow(int sx, int sy, int sw, int sh) {
    if (sw <= 0 || sh <= 0) {
        return;
    }
    const double scaleX = static_cast<double>(g_RenderWidth) / sw;
    const double scaleY = static_cast<double>(g_RenderHeight) / sh;
    WindowCopy copy = {};
    const bool copied = CopyWindowUnderPointer(sx, sy, sw, sh, &copy);

    const RECT area = RenderRect();
    SurfaceLock stretch(g_Surface_BackgroundStretch, area);
    if (!stretch.Locked()) {
        return;
    }
    SurfaceLock captured(g_Surface_BackgroundStretch24bit, area);
    if (!captured.Locked()) {
        return;
    }
    std::memset(stretch.Row(0), 0, static_cast<size_t>(stretch.Pitch()) * g_RenderHeight);
    if (!copied) {
        return;
    }
    const double rowEnd = (copy.destY + copy.copyHeight) * scaleY;
    const double columnEnd = (copy.destX + copy.copyWidth) * scaleX;
    const UINT firstRow = static_cast<UINT>(copy.destY * scaleY);
    const UINT firstColumn = static_cast<UINT>(copy.destX * scaleX);
    UINT endRow = firstRow;
    while (endRow < g_RenderHeight && endRow < rowEnd) {
        ++endRow;
    }
    UINT endColumn = firstColumn;
    while (endColumn < g_RenderWidth && endColumn < columnEnd) {
        ++endColumn;
    }
    CopyOpaque(captured, stretch, firstRow, endRow, firstColumn, endColumn);
}

} // namespace

void CaptureDesktop(int sx, int sy, int sw, int sh, unsigned overlayFormat) {
    if (g_Surface_BackgroundStretch == nullptr || g_Surface_BackgroundStretch24bit == nullptr) {
        return;
    }
    if (overlayFormat < kOneWindowFormat) {
        CaptureFullScreen(sx, sy, sw, sh);
    } else {
        CaptureOneWindow(sx, sy, sw, sh);
    }
}

HRESULT LockCapturedFrame(DDSURFACEDESC* frame) {
    if (g_Surface_BackgroundStretch == nullptr) {
        return -1;
    }
    const RECT area = RenderRect();
    D3DLOCKED_RECT locked = {};
    const HRESULT result = g_Surface_BackgroundStretch->LockRect(&locked, &area, 0);
    if (FAILED(result)) {
        return result;
    }
    frame->dwHeight = g_RenderHeight;
    frame->dwWidth = g_RenderWidth;
    frame->lPitch = locked.Pitch;
    frame->lpSurface = locked.pBits;
    frame->ddpfPixelFormat.dwRGBBitCount = 32;
    return 0;
}
