// The layered, click-through, top-most pop-up window that shows the lens on the window path and
// the main program's splash picture. Its system functions are bound by name, so it keeps working,
// with less effect, where they are missing: without UpdateLayeredWindow the window is made and
// shown but nothing is drawn into it, and it is only hidden at the end.
#pragma once

#include <windows.h>

#include "scoped_handles.h"

constexpr char kLensWindowClass[] = "VX Overlay Window";
constexpr DWORD kLensWindowExStyle =
    WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_TOPMOST;
static_assert(kLensWindowExStyle == 0x080800A8, "no activation, layered, tool, see-through");

// The fade before the window is hidden: constant alpha 2n for n from 127 down to 1, 10 ms each.
constexpr int kFadeSteps = 127;
constexpr DWORD kFadeStepMs = 10;

// A window that came above the lens is put beneath it again within this time: often enough for
// the eye, rarely enough that a lens drawn hundreds of times a second does not ask every time.
constexpr DWORD kOrderCheckMs = 10;

// Where the window binds its system functions from. Tests name stand-ins here.
struct LensWindowLibraries {
    const char* user32 = "user32.dll"; // UpdateLayeredWindow, SetMirrorRendering,
                                       // SetWindowDisplayAffinity
    const char* ntdll = "ntdll.dll";   // RtlGetVersion, for the true system version
};

class LensWindow {
public:
    // Registers the class "VX Overlay Window" for `instance` and creates and shows the window
    // (100 x 100 at 0,0, nothing drawn yet). When the class cannot be registered, for example
    // because another LensWindow of the process holds it, the object has no window.
    explicit LensWindow(HINSTANCE instance, const LensWindowLibraries& libraries = {});
    // Fades out and hides the window, destroys it, unregisters the class (also when this object
    // could not register it) and frees user32.
    ~LensWindow();
    LensWindow(const LensWindow&) = delete;
    LensWindow& operator=(const LensWindow&) = delete;

    HWND Window() const { return window_; }

    // Brings the window to the top (when another window came above it since the last check, at
    // most kOrderCheckMs ago) and draws `size` pixels of
    // `source` (32-bit, premultiplied alpha, from its point 0,0) at the screen `position`, each
    // pixel's alpha deciding its transparency. Returns 1 when drawn; 0 when it could not be or
    // there is nothing to draw with.
    int Present(HDC source, SIZE size, POINT position);

    // Fades the window out over about 1.27 s and hides it; only hides it without
    // UpdateLayeredWindow; nothing without a window.
    void FadeOutAndHide();

    // Hands every `message` the window receives to `handler` with `context`, on the thread that
    // made the window (the docked view's notifications from the shell); null for none.
    typedef void (*MessageHandler)(void* context, WPARAM wParam, LPARAM lParam);
    void HandMessages(UINT message, MessageHandler handler, void* context);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    typedef BOOL(WINAPI* UpdateLayeredWindowFn)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                BLENDFUNCTION*, DWORD);
    typedef BOOL(WINAPI* SetMirrorRenderingFn)(HWND, DWORD);

    UpdateLayeredWindowFn updateLayeredWindow_ = nullptr;
    SetMirrorRenderingFn setMirrorRendering_ = nullptr;
    UniqueModule user32Module_;
    HINSTANCE instance_;
    HWND window_ = nullptr;
    bool orderChecked_ = false; // whether Present has asked about the z-order yet
    DWORD orderCheckedAt_ = 0;  // GetTickCount when it last asked
    UINT handledMessage_ = 0;
    MessageHandler handler_ = nullptr;
    void* handlerContext_ = nullptr;
};
