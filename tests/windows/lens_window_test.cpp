// The lens window: its class and styles, that it takes no input, what a presented image looks
// like in a screen copy, the fade, the class lifetime, and how it copes with missing system
// functions (through stand-ins of user32 and ntdll). Then the composition guard over a stand-in
// of dwmapi.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "composition_guard.h"
#include "lens_window.h"
#include "scoped_handles.h"
#include "test_support.h"

namespace {

using Calls = std::vector<std::string>;

std::string FakePath(const char* library, const char* variant) {
    return ProgramFolder() + "\\fakes\\" + variant + "\\" + library + ".dll";
}

HINSTANCE ProgramInstance() {
    return GetModuleHandleA(nullptr);
}

void HandleWaitingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool ClassRegistered() {
    WNDCLASSEXA info = {};
    info.cbSize = sizeof(info);
    return GetClassInfoExA(ProgramInstance(), kLensWindowClass, &info) != 0;
}

// Pixels as 0xAARRGGBB words, rows top-down.
using Pixels = std::vector<uint32_t>;

// A 32-bit top-down DIB section selected into a memory device context.
class Image {
public:
    Image(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<uint32_t*>(bits);
        dc_.Reset(CreateCompatibleDC(nullptr));
        previous_ = SelectObject(dc_.Get(), bitmap_.Get());
    }
    ~Image() { SelectObject(dc_.Get(), previous_); }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    bool Valid() const { return bits_ != nullptr && dc_.Valid(); }
    HDC Dc() const { return dc_.Get(); }
    SIZE Size() const { return {width_, height_}; }
    uint32_t& At(int x, int y) { return bits_[y * width_ + x]; }

private:
    int width_;
    int height_;
    UniqueGdiObject bitmap_;
    UniqueMemoryDc dc_;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// The screen's content at (x, y), as GDI copies it, without alpha.
uint32_t ScreenPixel(int x, int y) {
    Image copy(1, 1);
    WindowDc screen(nullptr, GetDC(nullptr));
    BitBlt(copy.Dc(), 0, 0, 1, 1, screen.Get(), x, y, SRCCOPY);
    return copy.At(0, 0) & 0xFFFFFF;
}

// Waits (see WaitUntil) for the screen copy to show `colour` at (x, y).
bool ScreenShows(int x, int y, uint32_t colour) {
    return WaitUntil([=] {
        HandleWaitingMessages();
        return ScreenPixel(x, y) == colour;
    });
}

constexpr uint32_t kBeneathColour = 0x00C800; // green, as 0xRRGGBB
constexpr char kBeneathClass[] = "VX Test Beneath";

// An ordinary visible window painted in one colour, to lie beneath the lens.
class SolidWindow {
public:
    SolidWindow(int x, int y, int width, int height, DWORD style = WS_POPUP, DWORD exStyle = 0) {
        brush_.Reset(CreateSolidBrush(RGB(0x00, 0xC8, 0x00)));
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = ProgramInstance();
        windowClass.hbrBackground = static_cast<HBRUSH>(brush_.Get());
        windowClass.lpszClassName = kBeneathClass;
        RegisterClassExA(&windowClass);
        window_ = CreateWindowExA(exStyle, kBeneathClass, "beneath", style | WS_VISIBLE, x, y,
                                  width, height, nullptr, nullptr, ProgramInstance(), nullptr);
        UpdateWindow(window_);
        HandleWaitingMessages();
    }
    ~SolidWindow() {
        DestroyWindow(window_);
        UnregisterClassA(kBeneathClass, ProgramInstance());
    }
    SolidWindow(const SolidWindow&) = delete;
    SolidWindow& operator=(const SolidWindow&) = delete;
    HWND Window() const { return window_; }

private:
    UniqueGdiObject brush_;
    HWND window_ = nullptr;
};

// Recorded fade steps: the constant alphas of UpdateLayeredWindow calls that draw nothing new.
std::vector<int> FadeAlphas(HWND window) {
    std::vector<int> alphas;
    char prefix[64];
    std::snprintf(prefix, sizeof(prefix), "UpdateLayeredWindow %p screen=00000000 at=null ",
                  static_cast<void*>(window));
    for (const std::string& call : RecordedCallsStartingWith("UpdateLayeredWindow")) {
        unsigned op = 9, flags = 9, alpha = 0, format = 9;
        unsigned long ulw = 0;
        if (call.compare(0, std::strlen(prefix), prefix) != 0 ||
            call.find("size=null source=null from=null key=0 ") == std::string::npos ||
            std::sscanf(call.c_str() + call.find("blend="), "blend=%u,%u,%u,%u flags=%lu", &op,
                        &flags, &alpha, &format, &ulw) != 5 ||
            op != AC_SRC_OVER || flags != 0 || format != AC_SRC_ALPHA || ulw != ULW_ALPHA) {
            alphas.push_back(-1);
            continue;
        }
        alphas.push_back(static_cast<int>(alpha));
    }
    return alphas;
}

std::vector<int> ExpectedFade() {
    std::vector<int> alphas;
    for (int n = 127; n >= 1; --n) {
        alphas.push_back(2 * n);
    }
    return alphas;
}

class TheLensWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ClearRecordedCalls();
        ASSERT_FALSE(ClassRegistered()) << "no earlier test left the class behind";
    }
    void TearDown() override { EXPECT_FALSE(ClassRegistered()) << "the class was unregistered"; }
};

TEST_F(TheLensWindow, IsAShownTopMostToolPopupOfTheOverlayClass) {
    LensWindow lens(ProgramInstance());
    const HWND window = lens.Window();
    ASSERT_NE(nullptr, window);

    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    EXPECT_STREQ("VX Overlay Window", className);
    EXPECT_EQ(0x080800A8u, static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)))
        << "no activation, layered, tool window, see-through, top-most; nothing else";
    EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_VISIBLE),
              static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & ~WS_CLIPSIBLINGS)
        << "a pop-up (the system adds sibling clipping to every top-level window)";
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(nullptr, GetWindow(window, GW_OWNER));
    char title[16] = "x";
    EXPECT_EQ(0, GetWindowTextA(window, title, sizeof(title)));
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);
    EXPECT_EQ(100, rect.right);
    EXPECT_EQ(100, rect.bottom);

    WNDCLASSEXA info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetClassInfoExA(ProgramInstance(), kLensWindowClass, &info));
    EXPECT_EQ(0u, info.style);
    EXPECT_EQ(0, info.cbClsExtra);
    EXPECT_EQ(0, info.cbWndExtra);
    EXPECT_EQ(nullptr, info.hIcon);
    EXPECT_EQ(nullptr, info.hCursor);
    EXPECT_EQ(nullptr, info.hbrBackground);
    EXPECT_EQ(nullptr, info.lpszMenuName);
}

TEST_F(TheLensWindow, NeverTakesActivationFromTheUsersWindow) {
    SolidWindow user(400, 400, 200, 200, WS_OVERLAPPEDWINDOW);
    SetForegroundWindow(user.Window());
    HandleWaitingMessages();
    ASSERT_EQ(user.Window(), GetForegroundWindow());

    LensWindow lens(ProgramInstance());
    ASSERT_NE(nullptr, lens.Window());
    HandleWaitingMessages();
    EXPECT_EQ(user.Window(), GetForegroundWindow()) << "after it was shown";
    EXPECT_NE(lens.Window(), GetActiveWindow());

    Image image(32, 32);
    ASSERT_TRUE(image.Valid());
    EXPECT_EQ(1, lens.Present(image.Dc(), image.Size(), {420, 420}));
    HandleWaitingMessages();
    EXPECT_EQ(user.Window(), GetForegroundWindow()) << "after it was presented";
    EXPECT_NE(lens.Window(), GetActiveWindow());
}

TEST_F(TheLensWindow, PresentingComesAboveTopMostWindowsMadeLater) {
    LensWindow lens(ProgramInstance());
    SolidWindow later(0, 0, 50, 50, WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    ASSERT_EQ(later.Window(), GetTopWindow(nullptr)) << "the later window starts above the lens";
    Image image(16, 16);
    ASSERT_EQ(1, lens.Present(image.Dc(), image.Size(), {10, 10}));
    EXPECT_EQ(lens.Window(), GetTopWindow(nullptr));
}

// Counts the z-order changes asked of a window: WM_WINDOWPOSCHANGING without SWP_NOZORDER.
WNDPROC g_lensProcedure = nullptr;
int g_reorders = 0;

LRESULT CALLBACK CountingReorders(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_WINDOWPOSCHANGING &&
        (reinterpret_cast<const WINDOWPOS*>(l)->flags & SWP_NOZORDER) == 0) {
        ++g_reorders;
    }
    return CallWindowProcA(g_lensProcedure, window, message, w, l);
}

TEST_F(TheLensWindow, PresentingLeavesTheZOrderAloneWhileNothingIsAbove) {
    LensWindow lens(ProgramInstance());
    Image image(16, 16);
    ASSERT_EQ(1, lens.Present(image.Dc(), image.Size(), {10, 10}));
    ASSERT_EQ(lens.Window(), GetTopWindow(nullptr));
    g_lensProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        lens.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingReorders)));
    g_reorders = 0;
    for (int frame = 0; frame < 5; ++frame) {
        ASSERT_EQ(1, lens.Present(image.Dc(), image.Size(), {10 + frame, 10}));
    }
    EXPECT_EQ(0, g_reorders) << "a lens already on top is not reordered every frame";
    SolidWindow later(0, 0, 50, 50, WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    SetWindowPos(later.Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(later.Window(), GetTopWindow(nullptr));
    for (const DWORD start = GetTickCount(); g_reorders == 0 && GetTickCount() - start < 5000;) {
        ASSERT_EQ(1, lens.Present(image.Dc(), image.Size(), {20, 10}));
    }
    EXPECT_EQ(1, g_reorders) << "a window that came above is put beneath it";
    EXPECT_EQ(lens.Window(), GetTopWindow(nullptr));
    SetWindowLongPtrA(lens.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_lensProcedure));
}

TEST_F(TheLensWindow, APresentedImageShowsInAScreenCopyLetsClicksThroughAndGoesWithTheFade) {
    SolidWindow beneath(200, 200, 300, 300);
    ASSERT_TRUE(ScreenShows(260, 260, kBeneathColour));
    LensWindow lens(ProgramInstance());
    Image image(64, 32);
    ASSERT_TRUE(image.Valid());
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            // Left half opaque colour, right half fully transparent (premultiplied: all zero).
            image.At(x, y) = x < 32 ? 0xFFC08040 : 0x00000000;
        }
    }
    ASSERT_EQ(1, lens.Present(image.Dc(), image.Size(), {250, 250}));
    RECT rect;
    GetWindowRect(lens.Window(), &rect);
    EXPECT_EQ(250, rect.left);
    EXPECT_EQ(250, rect.top);
    EXPECT_EQ(314, rect.right);
    EXPECT_EQ(282, rect.bottom);

    EXPECT_TRUE(ScreenShows(250, 250, 0xC08040)) << "opaque pixel, top-left";
    EXPECT_EQ(0xC08040u, ScreenPixel(281, 281)) << "opaque pixel, last of the left half";
    EXPECT_EQ(kBeneathColour, ScreenPixel(282, 250)) << "alpha 0 shows the window beneath";
    EXPECT_EQ(kBeneathColour, ScreenPixel(313, 281));
    EXPECT_EQ(beneath.Window(), WindowFromPoint({260, 260})) << "a click on an opaque pixel";

    lens.FadeOutAndHide();
    EXPECT_FALSE(IsWindowVisible(lens.Window()));
    EXPECT_TRUE(ScreenShows(250, 250, kBeneathColour)) << "hidden after the fade";
}

TEST_F(TheLensWindow, FadeTakes127StepsOf10MsDownToAlpha2AndEndsHidden) {
    const std::string user32 = FakePath("vxuser32", "full");
    LensWindow lens(ProgramInstance(), {user32.c_str(), "ntdll.dll"});
    ASSERT_NE(nullptr, lens.Window());
    Image image(8, 8);
    ASSERT_EQ(1, lens.Present(image.Dc(), image.Size(), {5, 5}));
    char presented[160];
    std::snprintf(presented, sizeof(presented),
                  "UpdateLayeredWindow %p screen=00000000 at=5,5 size=8x8 source=dc from=0,0 "
                  "key=0 blend=0,0,255,1 flags=2",
                  static_cast<void*>(lens.Window()));
    EXPECT_EQ(Calls{presented}, RecordedCallsStartingWith("UpdateLayeredWindow"));

    ClearRecordedCalls();
    const double start = NowMs();
    lens.FadeOutAndHide();
    const double elapsed = NowMs() - start;
    EXPECT_EQ(ExpectedFade(), FadeAlphas(lens.Window()));
    EXPECT_GE(elapsed, 1270.0) << "127 pauses of 10 ms";
    EXPECT_FALSE(IsWindowVisible(lens.Window()));
}

TEST_F(TheLensWindow, DestroyingFadesDestroysTheWindowAndFreesUser32) {
    PreloadedFake user32("vxuser32", "full");
    ASSERT_NE(nullptr, user32.Module());
    const std::string path = FakePath("vxuser32", "full");
    auto lens = std::make_unique<LensWindow>(ProgramInstance(),
                                             LensWindowLibraries{path.c_str(), "ntdll.dll"});
    const HWND window = lens->Window();
    ASSERT_NE(nullptr, window);
    ClearRecordedCalls();
    const double start = NowMs();
    lens.reset();
    const double elapsed = NowMs() - start;
    EXPECT_EQ(ExpectedFade(), FadeAlphas(window));
    EXPECT_GE(elapsed, 1270.0) << "the fade runs before the window goes";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(user32.ReleaseAndCheckUnloaded()) << "the window freed its reference";
}

TEST_F(TheLensWindow, WithoutUpdateLayeredWindowItIsShownButNeverDrawnAndOnlyHidden) {
    PreloadedFake user32("vxuser32", "no_layered");
    ASSERT_NE(nullptr, user32.Module());
    const std::string path = FakePath("vxuser32", "no_layered");
    LensWindow lens(ProgramInstance(), {path.c_str(), "ntdll.dll"});
    ASSERT_NE(nullptr, lens.Window());
    EXPECT_TRUE(IsWindowVisible(lens.Window()));
    Image image(8, 8);
    EXPECT_EQ(0, lens.Present(image.Dc(), image.Size(), {5, 5}));
    lens.FadeOutAndHide();
    EXPECT_FALSE(IsWindowVisible(lens.Window()));
    EXPECT_TRUE(RecordedCalls().empty()) << "the incomplete library is not used at all";
    EXPECT_TRUE(user32.ReleaseAndCheckUnloaded()) << "and was freed at once";
}

TEST_F(TheLensWindow, MirrorRenderingIsSwitchedOffWhereTheSystemHasIt) {
    {
        const std::string path = FakePath("vxuser32", "full");
        LensWindow lens(ProgramInstance(), {path.c_str(), "ntdll.dll"});
        ASSERT_NE(nullptr, lens.Window());
        char expected[64];
        std::snprintf(expected, sizeof(expected), "SetMirrorRendering %p 0",
                      static_cast<void*>(lens.Window()));
        EXPECT_EQ(Calls{expected}, RecordedCallsStartingWith("SetMirrorRendering"));
    }
    ClearRecordedCalls();
    const std::string path = FakePath("vxuser32", "no_mirror");
    LensWindow lens(ProgramInstance(), {path.c_str(), "ntdll.dll"});
    ASSERT_NE(nullptr, lens.Window()) << "made without it";
    EXPECT_TRUE(IsWindowVisible(lens.Window()));
    Image image(8, 8);
    EXPECT_EQ(1, lens.Present(image.Dc(), image.Size(), {5, 5}));
}

TEST_F(TheLensWindow, IsExcludedFromScreenCopiesFromWindows10Version2004On) {
    PreloadedFake ntdll("vxntdll", "full");
    typedef void (*SetVersionFn)(DWORD, DWORD, DWORD);
    const SetVersionFn setVersion = BindProc<SetVersionFn>(ntdll.Module(), "FakeVersionSet");
    ASSERT_NE(nullptr, setVersion);
    const std::string user32 = FakePath("vxuser32", "full");
    const std::string ntdllPath = FakePath("vxntdll", "full");
    struct Case {
        DWORD major, minor, build;
        bool excluded;
    };
    // Windows 10 version 1909, 2004, and 11 (which still reports major version 10).
    const Case cases[] = {{10, 0, 18363, false}, {10, 0, 19041, true}, {10, 0, 22631, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.major << "." << c.minor << "." << c.build);
        ClearRecordedCalls();
        setVersion(c.major, c.minor, c.build);
        LensWindow lens(ProgramInstance(), {user32.c_str(), ntdllPath.c_str()});
        ASSERT_NE(nullptr, lens.Window());
        char expected[64];
        std::snprintf(expected, sizeof(expected), "SetWindowDisplayAffinity %p 0x11",
                      static_cast<void*>(lens.Window()));
        EXPECT_EQ(c.excluded ? Calls{expected} : Calls{},
                  RecordedCallsStartingWith("SetWindowDisplayAffinity"));
    }
    ClearRecordedCalls();
    LensWindow lens(ProgramInstance(), {user32.c_str(), "ntdll.dll"});
    EXPECT_TRUE(RecordedCallsStartingWith("SetWindowDisplayAffinity").empty())
        << "this Wine prefix reports Windows 7";
}

TEST_F(TheLensWindow, ASecondWindowWithoutTheClassDrawsNothingAndLeavesTheFirstAlone) {
    LensWindow first(ProgramInstance());
    ASSERT_NE(nullptr, first.Window());
    {
        LensWindow second(ProgramInstance());
        EXPECT_EQ(nullptr, second.Window()) << "the class name is taken";
        Image image(8, 8);
        EXPECT_EQ(0, second.Present(image.Dc(), image.Size(), {5, 5}));
        const double start = NowMs();
        second.FadeOutAndHide();
        EXPECT_LT(NowMs() - start, 1270.0) << "nothing to fade: not 127 pauses of 10 ms";
    }
    EXPECT_TRUE(IsWindow(first.Window()));
    EXPECT_TRUE(ClassRegistered()) << "a class with a window cannot be unregistered";
}

TEST_F(TheLensWindow, DestroyUnregistersTheClassAlsoWhenItCouldNotRegisterIt) {
    WNDCLASSEXA other = {};
    other.cbSize = sizeof(other);
    other.lpfnWndProc = DefWindowProcA;
    other.hInstance = ProgramInstance();
    other.lpszClassName = kLensWindowClass;
    ASSERT_NE(0, RegisterClassExA(&other)) << "someone else holds the class, with no window";
    {
        LensWindow lens(ProgramInstance());
        EXPECT_EQ(nullptr, lens.Window());
    }
    EXPECT_FALSE(ClassRegistered());
}

// --- Composition guard.

class CompositionGuardTest : public ::testing::Test {
protected:
    void SetUp() override { ClearRecordedCalls(); }
    typedef void (*SetCompositionFn)(UINT);
    typedef UINT (*CompositionFn)();
};

TEST_F(CompositionGuardTest, CompositionThatWasOnIsOffDuringTheRunAndOnAgainAfter) {
    PreloadedFake dwmapi("vxdwmapi", "full");
    const auto setComposition =
        BindProc<SetCompositionFn>(dwmapi.Module(), "FakeDwmSetComposition");
    const auto composition = BindProc<CompositionFn>(dwmapi.Module(), "FakeDwmComposition");
    ASSERT_NE(nullptr, setComposition);
    setComposition(1);
    const std::string path = FakePath("vxdwmapi", "full");
    {
        CompositionGuard guard(path.c_str());
        EXPECT_TRUE(guard.WasEnabled());
        EXPECT_EQ(0u, composition()) << "off during the run";
        EXPECT_EQ((Calls{"DwmIsCompositionEnabled", "DwmEnableComposition 0"}), RecordedCalls());
    }
    EXPECT_EQ(1u, composition()) << "on again";
    EXPECT_EQ(
        (Calls{"DwmIsCompositionEnabled", "DwmEnableComposition 0", "DwmEnableComposition 1"}),
        RecordedCalls());
    EXPECT_TRUE(dwmapi.ReleaseAndCheckUnloaded()) << "the guard freed its reference";
}

TEST_F(CompositionGuardTest, CompositionThatWasOffIsLeftAlone) {
    PreloadedFake dwmapi("vxdwmapi", "full");
    const auto composition = BindProc<CompositionFn>(dwmapi.Module(), "FakeDwmComposition");
    const std::string path = FakePath("vxdwmapi", "full");
    {
        CompositionGuard guard(path.c_str());
        EXPECT_FALSE(guard.WasEnabled());
    }
    EXPECT_EQ(0u, composition());
    EXPECT_EQ(Calls{"DwmIsCompositionEnabled"}, RecordedCalls());
    EXPECT_TRUE(dwmapi.ReleaseAndCheckUnloaded());
}

TEST_F(CompositionGuardTest, WithoutEitherFunctionNothingIsCalledAndTheLibraryIsFreedAtOnce) {
    for (const char* variant : {"no_query", "no_enable"}) {
        SCOPED_TRACE(variant);
        ClearRecordedCalls();
        PreloadedFake dwmapi("vxdwmapi", variant);
        ASSERT_NE(nullptr, dwmapi.Module());
        const auto setComposition =
            BindProc<SetCompositionFn>(dwmapi.Module(), "FakeDwmSetComposition");
        setComposition(1);
        const std::string path = FakePath("vxdwmapi", variant);
        CompositionGuard guard(path.c_str());
        EXPECT_FALSE(guard.WasEnabled());
        EXPECT_TRUE(RecordedCalls().empty());
        EXPECT_TRUE(dwmapi.ReleaseAndCheckUnloaded()) << "nothing held while the guard lives";
    }
}

TEST_F(CompositionGuardTest, WithoutTheLibraryOrWithWinesNothingChanges) {
    {
        CompositionGuard guard("vx no such dwmapi.dll");
        EXPECT_FALSE(guard.WasEnabled());
    }
    CompositionGuard guard;
    EXPECT_FALSE(guard.WasEnabled()) << "Wine reports composition off";
}

} // namespace
