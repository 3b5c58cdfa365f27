#include "lens_window.h"

namespace {

typedef BOOL(WINAPI* SetWindowDisplayAffinityFn)(HWND, DWORD);
typedef LONG(WINAPI* RtlGetVersionFn)(OSVERSIONINFOW*);

// The window is left out of every screen copy, shown only on the monitor.
constexpr DWORD kExcludeFromCapture = 0x11;
// The first build that knows kExcludeFromCapture (Windows 10 version 2004). Earlier systems
// treat it as "shown without content" and screen copies, ours included, would find a black lens.
constexpr DWORD kExcludeFromCaptureFirstBuild = 19041;

// The system's own version, whatever the process's manifest claims.
bool SystemExcludesFromCapture(const char* ntdllName) {
    UniqueModule ntdll(LoadLibraryA(ntdllName));
    const RtlGetVersionFn getVersion = BindProc<RtlGetVersionFn>(ntdll.Get(), "RtlGetVersion");
    if (getVersion == nullptr) {
        return false;
    }
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (getVersion(&version) != 0) {
        return false;
    }
    return version.dwMajorVersion > 10 ||
           (version.dwMajorVersion == 10 && version.dwBuildNumber >= kExcludeFromCaptureFirstBuild);
}

// The lens must never magnify itself: where the system can, its window is kept out of the screen
// copies the capture makes.
void ExcludeFromScreenCopies(HWND window, HMODULE user32, const char* ntdllName) {
    const SetWindowDisplayAffinityFn setAffinity =
        BindProc<SetWindowDisplayAffinityFn>(user32, "SetWindowDisplayAffinity");
    if (setAffinity != nullptr && SystemExcludesFromCapture(ntdllName)) {
        setAffinity(window, kExcludeFromCapture);
    }
}

BLENDFUNCTION PerPixelBlend(BYTE constantAlpha) {
    BLENDFUNCTION blend;
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = constantAlpha;
    blend.AlphaFormat = AC_SRC_ALPHA;
    return blend;
}

} // namespace

LensWindow::LensWindow(HINSTANCE instance, const LensWindowLibraries& libraries)
    : instance_(instance) {
    user32Module_.Reset(LoadLibraryA(libraries.user32));
    updateLayeredWindow_ =
        BindProc<UpdateLayeredWindowFn>(user32Module_.Get(), "UpdateLayeredWindow");
    if (updateLayeredWindow_ == nullptr) {
        user32Module_.Reset();
    }
    setMirrorRendering_ = BindProc<SetMirrorRenderingFn>(user32Module_.Get(), "SetMirrorRendering");

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance_;
    windowClass.lpszClassName = kLensWindowClass;
    if (RegisterClassExA(&windowClass) == 0) {
        return;
    }
    HWND window = CreateWindowExA(kLensWindowExStyle, kLensWindowClass, "", WS_POPUP, 0, 0, 100,
                                  100, nullptr, nullptr, instance_, nullptr);
    if (window == nullptr) {
        return;
    }
    if (setMirrorRendering_ != nullptr) {
        setMirrorRendering_(window, 0);
    }
    ExcludeFromScreenCopies(window, user32Module_.Get(), libraries.ntdll);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window_ = window;
    // Shown in its normal state but not activated: the user's window keeps the focus.
    ShowWindow(window_, SW_SHOWNOACTIVATE);
}

LensWindow::~LensWindow() {
    if (window_ != nullptr) {
        FadeOutAndHide();
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
        window_ = nullptr;
    }
    UnregisterClassA(kLensWindowClass, instance_);
}

LRESULT CALLBACK LensWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* self =
        reinterpret_cast<const LensWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && self->handler_ != nullptr && message == self->handledMessage_) {
        self->handler_(self->handlerContext_, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void LensWindow::HandMessages(UINT message, MessageHandler handler, void* context) {
    handledMessage_ = message;
    handler_ = handler;
    handlerContext_ = context;
}

int LensWindow::Present(HDC source, SIZE size, POINT position) {
    if (!user32Module_ || window_ == nullptr) {
        return 0;
    }
    // To the top of the top-most windows, like BringWindowToTop, but without taking activation;
    // only when another window has come above it, since reordering costs every frame. Asking
    // costs a trip to the window system too, so it is asked at most once in kOrderCheckMs.
    const DWORD now = GetTickCount();
    if (!orderChecked_ || now - orderCheckedAt_ >= kOrderCheckMs) {
        orderChecked_ = true;
        orderCheckedAt_ = now;
        if (GetWindow(window_, GW_HWNDPREV) != nullptr) {
            SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    POINT origin = {0, 0};
    BLENDFUNCTION blend = PerPixelBlend(255);
    return updateLayeredWindow_(window_, nullptr, &position, &size, source, &origin, 0, &blend,
                                ULW_ALPHA)
               ? 1
               : 0;
}

void LensWindow::FadeOutAndHide() {
    if (window_ == nullptr) {
        return;
    }
    if (updateLayeredWindow_ != nullptr) {
        for (int step = kFadeSteps; step >= 1; --step) {
            BLENDFUNCTION blend = PerPixelBlend(static_cast<BYTE>(2 * step));
            updateLayeredWindow_(window_, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &blend,
                                 ULW_ALPHA);
            Sleep(kFadeStepMs);
        }
    }
    ShowWindow(window_, SW_HIDE);
}
