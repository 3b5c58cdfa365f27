// The whole lens following the caret and the focus: the real engine with `followFocus` set binds
// the real caret locator beside it; typing into Notepad (another program) while the pointer rests
// takes the lens to the caret within two frames, tabbing through a dialog takes it to each
// focused control (to the caret in a text box), and the next pointer move takes it back.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

#include "lens_readback.h"
#include "scoped_handles.h"
#include "test_support.h"
#include "vexlume_process.h"

namespace {

constexpr POINT kResting = {1000, 800};
constexpr POINT kMovedTo = {900, 650};

// Notepad in the middle of the screen, in front, its text box holding the focus.
class Notepad {
public:
    Notepad() {
        char command[] = "notepad.exe";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process_)) {
            return;
        }
        WaitForInputIdle(process_.hProcess, kPatienceMs);
        window_ = WaitForWindow(process_.dwProcessId, "Untitled - Notepad");
        if (window_ != nullptr) {
            MoveWindow(window_, 350, 300, 500, 300, TRUE);
            SetForegroundWindow(window_);
        }
    }
    ~Notepad() {
        if (process_.hProcess != nullptr) {
            TerminateProcess(process_.hProcess, 0);
            WaitForEnd(process_.hProcess);
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
    }
    // The caret as the system records it for Notepad, in screen coordinates.
    bool Caret(RECT* caret) const {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        if (window_ == nullptr ||
            !GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info) ||
            info.hwndCaret == nullptr) {
            return false;
        }
        *caret = info.rcCaret;
        MapWindowPoints(info.hwndCaret, HWND_DESKTOP, reinterpret_cast<POINT*>(caret), 2);
        return true;
    }
    // Waits until the caret stands somewhere else than `before`.
    bool WaitForCaretMove(const RECT& before, RECT* after) const {
        return WaitUntil([&] { return Caret(after) && !EqualRect(after, &before); });
    }

private:
    PROCESS_INFORMATION process_ = {};
    HWND window_ = nullptr;
};

// Buttons, a text box and a list, each smaller than the area the lens shows, in a window in front
// with a thread of its own; true from InFront() on.
class FocusDialog {
public:
    FocusDialog() : thread_(CreateThread(nullptr, 0, Run, this, 0, &threadId_)) {}
    ~FocusDialog() {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        WaitForEnd(thread_);
        CloseHandle(thread_);
    }
    bool InFront() const {
        return WaitUntil(
            [&] { return window_ != nullptr && GetForegroundWindow() == window_.load(); });
    }
    GUITHREADINFO Now() const {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(threadId_, &info);
        return info;
    }

private:
    static DWORD WINAPI Run(LPVOID self) {
        HWND dialog = CreateWindowExA(0, "#32770", "Focus", WS_POPUP | WS_CAPTION | WS_VISIBLE, 380,
                                      330, 520, 300, nullptr, nullptr, nullptr, nullptr);
        const char* kinds[] = {"BUTTON", "EDIT", "BUTTON", "LISTBOX"};
        const DWORD styles[] = {0, WS_BORDER, BS_AUTOCHECKBOX, WS_BORDER};
        for (int i = 0; i < 4; ++i) {
            CreateWindowA(kinds[i], "x", WS_CHILD | WS_VISIBLE | WS_TABSTOP | styles[i],
                          10 + i % 2 * 200, 10 + i / 2 * 60, 100, 25, dialog, nullptr, nullptr,
                          nullptr);
        }
        SetForegroundWindow(dialog);
        SetFocus(GetWindow(dialog, GW_CHILD));
        static_cast<FocusDialog*>(self)->window_ = dialog;
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageA(dialog, &message)) {
                DispatchMessageA(&message);
            }
        }
        DestroyWindow(dialog);
        return 0;
    }
    std::atomic<HWND> window_{nullptr};
    DWORD threadId_ = 0;
    HANDLE thread_;
};

class CaretFollowing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine.Loaded());
        ClearNotifications();
        record.engine.followFocus = 1;
    }
    void TearDown() override {
        if (thread != nullptr) {
            engine.close(thread);
        }
    }
    bool Frames(int count) { return WaitForFrames(&record, count); }
    // The centre of the lens window, where the followed point is.
    POINT LensCentre() {
        RECT lens = {};
        HWND window = FindWindowA("VX Overlay Window", nullptr);
        if (window == nullptr || !GetWindowRect(window, &lens)) {
            return POINT{-1, -1};
        }
        return POINT{(lens.left + lens.right) / 2, (lens.top + lens.bottom) / 2};
    }
    void ExpectLensAt(POINT expected, const char* what) {
        const POINT centre = LensCentre();
        EXPECT_LE(std::abs(centre.x - expected.x), 2) << what << ": x " << centre.x;
        EXPECT_LE(std::abs(centre.y - expected.y), 2) << what << ": y " << centre.y;
    }
    PublishedOwner owner;
    EngineLibrary engine;
    SettingsRecord record = DefaultRecord();
    HANDLE thread = nullptr;
};

TEST_F(CaretFollowing, TypingInAnotherProgramTakesTheLensToTheCaretAndThePointerBringsItBack) {
    Notepad notepad;
    RECT caret = {};
    ASSERT_TRUE(notepad.Caret(&caret)) << "Notepad shows its caret";
    ASSERT_TRUE(MovePointer(kResting.x, kResting.y));

    thread = engine.create(&record.engine, TestCallback);
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(WaitForNotification(kNotifyLensUp));
    ASSERT_TRUE(Frames(4));
    ExpectLensAt(kResting, "at the start the lens follows the resting pointer");

    for (WORD key : {WORD('M'), WORD('W'), WORD(VK_RETURN)}) {
        const RECT before = caret;
        Press(key);
        ASSERT_TRUE(notepad.WaitForCaretMove(before, &caret)) << "Notepad took the key";
        // Two whole frames begin after the caret moved and have shown their image once four
        // requests have been served.
        ASSERT_TRUE(Frames(4));
        ExpectLensAt(POINT{caret.left, caret.bottom - 1}, "the lens went to the caret");
    }

    ASSERT_TRUE(MovePointer(kMovedTo.x, kMovedTo.y));
    ASSERT_TRUE(Frames(4));
    ExpectLensAt(kMovedTo, "the next pointer move took it back");
}

TEST_F(CaretFollowing, TabbingThroughADialogTakesTheLensToEachFocusedControlOrItsCaret) {
    FocusDialog dialog;
    ASSERT_TRUE(dialog.InFront()) << "the caret is looked for in the window in front";
    MovePointer(kResting.x, kResting.y);
    thread = engine.create(&record.engine, TestCallback);
    ASSERT_TRUE(WaitForNotification(kNotifyLensUp));
    ASSERT_TRUE(Frames(4));

    for (int press = 0; press < 5; ++press) {
        const HWND before = dialog.Now().hwndFocus;
        Press(VK_TAB);
        ASSERT_TRUE(WaitUntil([&] { return dialog.Now().hwndFocus != before; }));
        ASSERT_TRUE(Frames(4));
        const GUITHREADINFO now = dialog.Now();
        RECT place = now.rcCaret;
        if (now.hwndCaret != nullptr) {
            MapWindowPoints(now.hwndCaret, HWND_DESKTOP, reinterpret_cast<POINT*>(&place), 2);
            ExpectLensAt(POINT{place.left, place.bottom - 1}, "the caret of the text box");
        } else {
            GetWindowRect(now.hwndFocus, &place);
            ExpectLensAt(POINT{(place.left + place.right) / 2, (place.top + place.bottom) / 2},
                         "the focused control's centre");
        }
    }
}

} // namespace
