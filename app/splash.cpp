#include "splash.h"

#include "lens_window.h"
#include "program_state.h"
#include "resources/resource_ids.h"
#include "scoped_handles.h"

namespace {

constexpr int kSplashWidth = 320;
constexpr int kSplashHeight = 240;
constexpr DWORD kSplashShownMs = 1000;
constexpr DWORD kFirstSplashMajorVersion = 5;
// From 175 % on, the picture twice as large; both are shown pixel for pixel, never resampled.
constexpr int kLargeSplashDpi = 168;

bool SystemShowsSplash() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwMajorVersion >= kFirstSplashMajorVersion;
}

// 1 or 2: how many screen pixels each pixel of the picture's first size takes.
int SplashScale() {
    WindowDc screen(nullptr, GetDC(nullptr));
    return GetDeviceCaps(screen.Get(), LOGPIXELSY) >= kLargeSplashDpi ? 2 : 1;
}

// The picture's centre lies 100 pixels (at the first size) above the screen centre.
void PresentAndFade(HDC picture, int scale) {
    LensWindow splash(programInstance);
    const POINT at = {GetSystemMetrics(SM_CXSCREEN) / 2 - scale * kSplashWidth / 2,
                      GetSystemMetrics(SM_CYSCREEN) / 2 - scale * 220};
    splash.Present(picture, SIZE{scale * kSplashWidth, scale * kSplashHeight}, at);
    Sleep(kSplashShownMs);
    splash.FadeOutAndHide();
    // Leaving the scope destroys the window and gives the class "VX Overlay Window" back, so the
    // engine's lens window can register it.
}

} // namespace

void ShowSplash(HWND window) {
    static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record of the first form");
    // A DIB section keeps the picture's alpha channel for the per-pixel blend.
    const int scale = SplashScale();
    UniqueGdiObject bitmap(LoadImageA(
        programInstance, MAKEINTRESOURCEA(scale == 2 ? VX_SPLASH_BITMAP_2X : VX_SPLASH_BITMAP),
        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    WindowDc windowDc(window, GetDC(window));
    UniqueMemoryDc memory(CreateCompatibleDC(windowDc.Get()));
    if (!bitmap || !memory) {
        return;
    }
    SelectedObject selected(memory.Get(), bitmap.Get());
    if (SystemShowsSplash()) {
        PresentAndFade(memory.Get(), scale);
    }
}
