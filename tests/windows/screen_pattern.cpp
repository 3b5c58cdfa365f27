#include "screen_pattern.h"

#include <utility>

#include "scoped_handles.h"
#include "progress_wait.h"

namespace {

const char kPatternClass[] = "VexlumeTestPattern";

BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void RegisterPatternClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kPatternClass;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&windowClass);
}

} // namespace

std::vector<uint32_t> DetailPattern(int width, int height, uint32_t seed) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    uint32_t state = seed * 2654435761u + 1;
    for (uint32_t& pixel : pixels) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        pixel = state & 0x00FFFFFFu;
    }
    return pixels;
}

PatternWindow::PatternWindow(int x, int y, int width, int height, std::vector<uint32_t> pixels)
    : x_(x), y_(y), width_(width), height_(height), pixels_(std::move(pixels)) {
    RegisterPatternClass();
    window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kPatternClass, "", WS_POPUP, x, y,
                              width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
}

PatternWindow::~PatternWindow() {
    DestroyWindow(window_);
    HandleWaitingMessages();
}

LRESULT CALLBACK PatternWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<PatternWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_PAINT && self != nullptr) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        BITMAPINFO info = TopDownInfo(self->width_, self->height_);
        SetDIBitsToDevice(dc, 0, 0, self->width_, self->height_, 0, 0, 0, self->height_,
                          self->pixels_.data(), &info, DIB_RGB_COLORS);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        return 1;
    }
    return DefWindowProcA(window, message, w, l);
}

bool PatternWindow::WaitUntilShown() {
    return WaitUntil([this] {
        HandleWaitingMessages();
        const bool shown = ReadScreen(x_, y_, width_, height_) == pixels_;
        InvalidateRect(window_, nullptr, FALSE);
        return shown;
    });
}

std::vector<uint32_t> ReadScreen(int x, int y, int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    WindowDc screen(nullptr, GetDC(nullptr));
    UniqueMemoryDc memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info = TopDownInfo(width, height);
    void* bits = nullptr;
    UniqueGdiObject bitmap(
        CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        SelectedObject selected(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), x, y, SRCCOPY);
    }
    GdiFlush();
    const uint32_t* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = source[i] & 0x00FFFFFFu;
    }
    return pixels;
}

std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = TopDownInfo(width, height);
    WindowDc screen(nullptr, GetDC(nullptr));
    if (bitmap == nullptr || GetDIBits(screen.Get(), bitmap, 0, height, pixels.data(), &info,
                                       DIB_RGB_COLORS) != height) {
        return {};
    }
    for (uint32_t& pixel : pixels) {
        pixel &= 0x00FFFFFFu;
    }
    return pixels;
}

void HandleWaitingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

HWND CreateDeviceWindow() {
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}
