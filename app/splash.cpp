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

bool SystemShowsSplash() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwMajorVersion >= kFirstSplashMajorVersion;
}

// The picture's centre lies 100 pixels above the screen centre.
void PresentAndFade(HDC picture) {
    OverlayWindow splash(programInstance);
    const POINT at = {GetSystemMetrics(SM_CXSCREEN) / 2 - kSplashWidth / 2,
                      GetSystemMetrics(SM_CYSCREEN) / 2 - 220};
    splash.Present(picture, SIZE{kSplashWidth, kSplashHeight}, at);
    Sleep(kSplashShownMs);
    splash.FadeOutAndHide();
    // Leaving the scope destroys the window and gives the class "VX Overlay Window" back, so the
    // engine's lens window can register it.
}

} // namespace

void ShowSplash(HWND window) {
    static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record of the first form");
    // A DIB section keeps the picture's alpha channel for the per-pixel blend.
    UniqueGdiObject bitmap(LoadImageA(programInstance, MAKEINTRESOURCEA(VX_SPLASH_BITMAP),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    WindowDc windowDc(window, GetDC(window));
    UniqueMemoryDc memory(CreateCompatibleDC(windowDc.Get()));
    if (!bitmap || !memory) {
        return;
    }
    SelectedObject selected(memory.Get(), bitmap.Get());
    if (SystemShowsSplash()) {
        PresentAndFade(memory.Get());
    }
}
