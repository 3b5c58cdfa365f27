// The real caret locator: it follows the caret of the focused edit box and tells each move once,
// it asks programs that draw their own caret through their accessible caret object, and a hung
// program holds up neither its calls nor its release. Then the whole lens: with the real engine
// following the focus, typing into Notepad takes the lens to the caret within two frames.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "qxgetcaretpos.h"
#include "scoped_handles.h"
#include "test_support.h"

namespace {

// The engine's start numbers: a poll period of 150 ms, an answer wait of 87 ms.
constexpr int kPollPeriod = 9830;
constexpr int kAnswerWait = 5734;

void Pump(DWORD milliseconds) {
    const double end = NowMs() + milliseconds;
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    } while (NowMs() < end);
}

struct CaretLibrary {
    UniqueModule module{LoadLibraryA((ProgramFolder() + "\\" QX_GETCARETPOS_LIBRARY).c_str())};
    QxGetCaretPosInitFn init = BindProc<QxGetCaretPosInitFn>(module.Get(), "qxGetCaretPosInit");
    QxGetCaretPosFn get = BindProc<QxGetCaretPosFn>(module.Get(), "qxGetCaretPos");
    QxGetCaretPosReleaseFn release =
        BindProc<QxGetCaretPosReleaseFn>(module.Get(), "qxGetCaretPosRelease");
    bool Bound() const { return init && get && release; }
};

// One answer of the library.
struct Sighting {
    bool present;
    int valid;
    POINT point;
};

Sighting Ask(const CaretLibrary& library) {
    int valid = -1;
    const POINT* point = library.get(&valid);
    return Sighting{point != nullptr, valid, point != nullptr ? *point : POINT{0, 0}};
}

// Pumps until the library's answer meets `wanted` (see WaitUntil); the last answer.
Sighting WaitForSighting(const CaretLibrary& library, bool (*wanted)(const Sighting&)) {
    Sighting seen = Ask(library);
    WaitUntil([&] {
        Pump(10);
        return wanted(seen = Ask(library));
    });
    return seen;
}

bool Moved(const Sighting& seen) {
    return seen.valid != 0;
}

bool Present(const Sighting& seen) {
    return seen.present;
}

// The caret of `thread` as the system records it, in screen coordinates.
bool SystemCaret(DWORD thread, RECT* caret) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(thread, &info) || info.hwndCaret == nullptr) {
        return false;
    }
    *caret = info.rcCaret;
    MapWindowPoints(info.hwndCaret, HWND_DESKTOP, reinterpret_cast<POINT*>(caret), 2);
    return true;
}

// The point is the caret's: at its left edge, on its line.
void ExpectAtCaret(const POINT& point, const RECT& caret, int slack = 0) {
    EXPECT_LE(std::abs(point.x - caret.left), slack) << point.x << " against " << caret.left;
    EXPECT_GE(point.y, caret.top - slack);
    EXPECT_LT(point.y, caret.bottom + slack);
}

class CaretLocator : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.Bound());
        window = CreateWindowExA(0, "STATIC", "caret test", WS_POPUP | WS_VISIBLE, 200, 200, 400,
                                 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        edit = CreateWindowExA(0, "EDIT", "abc", WS_CHILD | WS_VISIBLE, 10, 10, 300, 24, window,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
        button = CreateWindowExA(0, "BUTTON", "no caret", WS_CHILD | WS_VISIBLE, 10, 50, 100, 24,
                                 window, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(window);
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 3, 3);
        RECT caret = {};
        ASSERT_TRUE(WaitUntil([&] {
            Pump(10);
            return SystemCaret(GetCurrentThreadId(), &caret);
        }));
    }
    void TearDown() override {
        library.release();
        DestroyWindow(window);
    }
    RECT Caret() {
        RECT caret = {};
        EXPECT_TRUE(SystemCaret(GetCurrentThreadId(), &caret));
        return caret;
    }
    CaretLibrary library;
    HWND window = nullptr;
    HWND edit = nullptr;
    HWND button = nullptr;
};

TEST_F(CaretLocator, FollowsTheFocusedEditBoxAndTellsEachMoveOnce) {
    ASSERT_EQ(1, library.init(kPollPeriod, kAnswerWait));
    Sighting seen = Ask(library);
    ASSERT_TRUE(seen.present);
    EXPECT_EQ(0, seen.valid) << "where the caret stood at the start is no move";
    ExpectAtCaret(seen.point, Caret());
    Pump(300);
    EXPECT_EQ(0, Ask(library).valid) << "a resting caret";

    for (const char* typed : {"x", "yyyy"}) {
        SCOPED_TRACE(typed);
        const RECT before = Caret();
        SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(typed));
        seen = WaitForSighting(library, Moved);
        ASSERT_EQ(1, seen.valid);
        EXPECT_GT(seen.point.x, before.left);
        ExpectAtCaret(seen.point, Caret());
        EXPECT_EQ(0, Ask(library).valid) << "told once";
    }

    SetFocus(button);
    seen = WaitForSighting(library, [](const Sighting& s) { return !s.present; });
    EXPECT_FALSE(seen.present) << "no caret, no point";
    EXPECT_EQ(0, seen.valid);
    SetFocus(edit);
    seen = WaitForSighting(library, Moved);
    EXPECT_TRUE(seen.present);
    EXPECT_EQ(1, seen.valid) << "a caret that appears is followed";
}

// A window that draws its own caret: no system caret, but an accessible caret object that says
// where it is and an event whenever it moves. Runs on a thread of its own, which can be made to
// hang.
class SelfDrawnCaret : public IAccessible {
public:
    explicit SelfDrawnCaret(RECT where) : where_(where) {}
    void MoveTo(RECT where) { where_ = where; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&references_); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR*, VARIANT, long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT) override {
        *left = where_.left;
        *top = where_.top;
        *width = where_.right - where_.left;
        *height = where_.bottom - where_.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accHitTest(long, long, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    RECT where_;
    volatile LONG references_ = 1;
};

constexpr UINT kMoveCaret = WM_APP + 1;
constexpr UINT kHang = WM_APP + 2;

class SelfDrawnWindow {
public:
    SelfDrawnWindow() : caret_(RECT{420, 330, 422, 350}) {
        ready_.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        thread_.Reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
        WaitForSingleObject(ready_.Get(), kPatienceMs);
    }
    ~SelfDrawnWindow() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        WaitForEnd(thread_.Get());
    }
    HWND Window() const { return window_; }
    void MoveCaret(RECT where) {
        SendMessageA(window_, kMoveCaret, 0, reinterpret_cast<LPARAM>(&where));
    }
    // The window's thread stops answering for `milliseconds`.
    void Hang(DWORD milliseconds) { PostMessageA(window_, kHang, milliseconds, 0); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<SelfDrawnWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (message) {
        case WM_GETOBJECT:
            if (static_cast<LONG>(lParam) == OBJID_CARET && self != nullptr) {
                return LresultFromObject(IID_IAccessible, wParam, &self->caret_);
            }
            break;
        case kMoveCaret:
            self->caret_.MoveTo(*reinterpret_cast<const RECT*>(lParam));
            NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, window, OBJID_CARET, CHILDID_SELF);
            return 0;
        case kHang:
            Sleep(static_cast<DWORD>(wParam));
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static DWORD WINAPI Run(LPVOID parameter) {
        auto* self = static_cast<SelfDrawnWindow*>(parameter);
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "SelfDrawnCaretWindow";
        RegisterClassA(&windowClass);
        self->window_ = CreateWindowExA(0, windowClass.lpszClassName, "self-drawn caret",
                                        WS_POPUP | WS_VISIBLE, 400, 300, 300, 200, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(self->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        SetForegroundWindow(self->window_);
        SetFocus(self->window_);
        SetEvent(self->ready_.Get());
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            DispatchMessageA(&message);
        }
        UnregisterClassA(windowClass.lpszClassName, GetModuleHandleA(nullptr));
        CoUninitialize();
        return 0;
    }

    SelfDrawnCaret caret_;
    HWND window_ = nullptr;
    UniqueHandle ready_;
    UniqueHandle thread_;
};

TEST_F(CaretLocator, AProgramThatDrawsItsOwnCaretIsAskedForIt) {
    SelfDrawnWindow program;
    ASSERT_NE(nullptr, program.Window());
    ASSERT_EQ(1, library.init(kPollPeriod, kAnswerWait));
    Sighting seen = WaitForSighting(library, Present);
    ASSERT_TRUE(seen.present) << "found through the caret object";
    ExpectAtCaret(seen.point, RECT{420, 330, 422, 350});

    const RECT moved = {480, 360, 482, 380};
    program.MoveCaret(moved);
    seen = WaitForSighting(library, Moved);
    ASSERT_EQ(1, seen.valid);
    ExpectAtCaret(seen.point, moved);
}

TEST_F(CaretLocator, AHungProgramHoldsUpNeitherTheCallsNorTheRelease) {
    SelfDrawnWindow program;
    ASSERT_NE(nullptr, program.Window());
    ASSERT_EQ(1, library.init(kPollPeriod, kAnswerWait));
    ASSERT_TRUE(WaitForSighting(library, Present).present);
    constexpr DWORD kHangMs = 8000;
    const double answersAgain = NowMs() + kHangMs;
    program.Hang(kHangMs);
    // A call that waited would wait at least the answer wait (87 ms) each time: the typical
    // call shows it, whatever the machine's load does to a few.
    std::vector<double> calls;
    while (calls.size() < 20) {
        const double start = NowMs();
        Ask(library);
        calls.push_back(NowMs() - start);
        Pump(10);
    }
    std::nth_element(calls.begin(), calls.begin() + 10, calls.end());
    EXPECT_LT(calls[10], 87.0) << "a call never waits for the other program";
    EXPECT_EQ(1, library.release());
    EXPECT_LT(NowMs(), answersAgain) << "nor does the release";
}

} // namespace
