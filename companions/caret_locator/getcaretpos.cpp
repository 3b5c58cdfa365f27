// The entry points of the caret locator "qxgetcaretpos.dll". The caret is looked at on the
// thread that started the locator: when the system reports a caret, focus or foreground change,
// on a timer tick after user input, and otherwise once per poll period. The focused control or
// item is placed when the system reports a focus change. The caller only reads the last look.
#include "qxgetcaretpos.h"

#include <mutex>

#include "accessible_caret.h"
#include "caret_rules.h"
#include "pinned_worker.h"
#include "system_caret.h"

namespace {

// The timer that watches for user input and the poll period.
constexpr UINT kTickMs = 16;
// When the starting thread has not ticked for this long, it does not pump messages, and the
// caller's own calls look at the caret instead, once per poll period.
constexpr DWORD kSilentThreadMs = 1000;

struct CaretFollower {
    bool running = false;
    DWORD thread = 0; // the thread that started following, where hooks and timer live
    HMODULE pin = nullptr;
    CaretTiming timing = {};
    HWINEVENTHOOK hooks[3] = {};
    UINT_PTR timer = 0;
    DWORD lastTick = 0;
    LookSchedule schedule;
    AccessibleCarets* accessible = nullptr;
    LONG accessibleSerial = 0;     // the answers taken into account so far
    HWND questionWindow = nullptr; // whose caret object was asked last
    DWORD lastQuestion = 0;        // tick count of that question
    // The last look.
    bool present = false;
    CaretPoint point = {0, 0};
    // The caller's side.
    CaretAnswers answers;
    POINT returned = {0, 0};
    // The focus: the last focus event's number, where its control or item lies, and how often
    // that place was set (by the event, and again by a later accessible answer).
    LONG focusEvent = 0;
    bool focusPlaced = false;
    bool focusRefined = false; // the accessible answer for focusEvent has been taken
    RECT focusRect = {0, 0, 0, 0};
    LONG focusChanges = 0;
    LONG focusTold = 0; // focusChanges at the caller's last call
    RECT focusReturned = {0, 0, 0, 0};
};

// Recursive: a hook or timer call can never find the lock held by its own thread and stop there.
std::recursive_mutex followerLock;
CaretFollower caretFollower; // under followerLock

// The window whose caret object is asked: one that reported its caret moving, else the window
// with the focus; in either case a window of the foreground window, never one behind it.
HWND QuestionWindow(const CaretFollower& f, const CaretSighting& sighting, HWND eventWindow) {
    if (eventWindow != nullptr && GetAncestor(eventWindow, GA_ROOT) == sighting.foreground) {
        return eventWindow;
    }
    if (f.questionWindow != nullptr &&
        GetAncestor(f.questionWindow, GA_ROOT) == sighting.foreground) {
        return f.questionWindow;
    }
    return sighting.focus;
}

// Looks at the caret and keeps what was seen. Without a system caret, the caret object of the
// window in question is asked: at once when that window changed or reported a move, else no
// more often than once per poll period; its latest answer is what was seen.
void Look(CaretFollower& f, HWND eventWindow) {
    const DWORD now = GetTickCount();
    LookedAt(&f.schedule, now);
    const CaretSighting sighting = LookAtSystemCaret();
    if (sighting.systemCaret || f.accessible == nullptr || sighting.focus == nullptr) {
        f.present = sighting.systemCaret;
        f.point = sighting.point;
        return;
    }
    const HWND window = QuestionWindow(f, sighting, eventWindow);
    if (window != f.questionWindow || window == eventWindow ||
        now - f.lastQuestion >= f.timing.pollMs) {
        AskAccessibleCaret(f.accessible, window);
        f.questionWindow = window;
        f.lastQuestion = now;
    }
    CaretPoint point = {0, 0};
    f.present = LatestAccessibleCaret(f.accessible, window, &point, &f.accessibleSerial);
    f.point = point;
}

// Whether the asking thread has answered since the last look.
bool NewAccessibleAnswer(CaretFollower& f) {
    if (f.accessible == nullptr) {
        return false;
    }
    CaretPoint unused;
    LONG serial = 0;
    LatestAccessibleCaret(f.accessible, nullptr, &unused, &serial);
    return serial != f.accessibleSerial;
}

// A window's own place: its client area for its client object, else the whole window.
bool WindowPlace(HWND window, LONG object, RECT* rect) {
    if (object == OBJID_CLIENT) {
        POINT corners[2] = {};
        RECT client;
        if (!GetClientRect(window, &client)) {
            return false;
        }
        corners[0] = {client.left, client.top};
        corners[1] = {client.right, client.bottom};
        MapWindowPoints(window, HWND_DESKTOP, corners, 2);
        *rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    } else if (!GetWindowRect(window, rect)) {
        return false;
    }
    return rect->right > rect->left && rect->bottom > rect->top;
}

// A focus event. A window that holds the focus itself is placed at once from its rectangle; an
// item inside a window is first placed where its window is and then, once the program has
// answered, where the item is. Only focus in the foreground counts: a program behind it that
// moves its own focus does not take the lens away.
void SeeFocus(CaretFollower& f, HWND window, LONG object, LONG child) {
    if (window == nullptr || !IsWindowVisible(window)) {
        return;
    }
    const HWND foreground = GetForegroundWindow();
    if (foreground != nullptr && GetWindowThreadProcessId(window, nullptr) !=
                                     GetWindowThreadProcessId(foreground, nullptr)) {
        return;
    }
    const bool wholeWindow =
        child == CHILDID_SELF && (object == OBJID_CLIENT || object == OBJID_WINDOW);
    RECT rect;
    if (!WindowPlace(window, wholeWindow ? object : OBJID_WINDOW, &rect)) {
        return;
    }
    ++f.focusEvent;
    f.focusPlaced = true;
    f.focusRefined = wholeWindow;
    f.focusRect = rect;
    ++f.focusChanges;
    if (!wholeWindow && f.accessible != nullptr) {
        AskAccessibleFocus(f.accessible, FocusedObject{window, object, child, f.focusEvent});
    }
}

// Takes the accessible answer about the focused item once it has come.
void RefineFocus(CaretFollower& f) {
    RECT rect;
    if (!f.focusRefined && f.accessible != nullptr &&
        AccessibleFocusAnswer(f.accessible, f.focusEvent, &rect)) {
        f.focusRefined = true;
        if (!EqualRect(&rect, &f.focusRect)) {
            f.focusRect = rect;
            ++f.focusChanges;
        }
    }
}

void CALLBACK OnCaretEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                           DWORD) {
    // Location changes come for every object that moves, the pointer included.
    if (event == EVENT_OBJECT_LOCATIONCHANGE && object != OBJID_CARET) {
        return;
    }
    std::lock_guard<std::recursive_mutex> hold(followerLock);
    if (!caretFollower.running) {
        return;
    }
    if (event != EVENT_OBJECT_LOCATIONCHANGE) {
        // Another window has the focus now: its own caret object is the one to ask.
        caretFollower.questionWindow = nullptr;
    }
    if (event == EVENT_OBJECT_FOCUS) {
        SeeFocus(caretFollower, window, object, child);
    }
    Look(caretFollower, event == EVENT_OBJECT_LOCATIONCHANGE ? window : nullptr);
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    LASTINPUTINFO input = {};
    input.cbSize = sizeof(input);
    if (!GetLastInputInfo(&input)) {
        input.dwTime = 0;
    }
    std::lock_guard<std::recursive_mutex> hold(followerLock);
    CaretFollower& f = caretFollower;
    if (!f.running) {
        return;
    }
    const DWORD now = GetTickCount();
    f.lastTick = now;
    if (TimeToLook(&f.schedule, now, input.dwTime, f.timing) || NewAccessibleAnswer(f)) {
        Look(f, nullptr);
    }
}

void Hook(CaretFollower& f) {
    const DWORD events[] = {EVENT_SYSTEM_FOREGROUND, EVENT_OBJECT_FOCUS,
                            EVENT_OBJECT_LOCATIONCHANGE};
    for (size_t i = 0; i < sizeof(events) / sizeof(events[0]); ++i) {
        f.hooks[i] = SetWinEventHook(events[i], events[i], nullptr, OnCaretEvent, 0, 0,
                                     WINEVENT_OUTOFCONTEXT);
    }
}

// Ends following. Hooks and the timer belong to the starting thread and can only be removed
// there; stopped from another thread, the library stays loaded so that they can never call
// into it after it is gone (they end with that thread).
AccessibleCarets* Stop(CaretFollower& f) {
    f.running = false;
    if (GetCurrentThreadId() == f.thread) {
        for (HWINEVENTHOOK& hook : f.hooks) {
            if (hook != nullptr) {
                UnhookWinEvent(hook);
                hook = nullptr;
            }
        }
        if (f.timer != 0) {
            KillTimer(nullptr, f.timer);
        }
        if (f.pin != nullptr) {
            FreeLibrary(f.pin);
        }
    }
    f.timer = 0;
    f.pin = nullptr;
    AccessibleCarets* accessible = f.accessible;
    f.accessible = nullptr;
    return accessible;
}

} // namespace

extern "C" int WINAPI qxGetCaretPosInit(int pollPeriod, int answerWait) {
    qxGetCaretPosRelease();
    std::lock_guard<std::recursive_mutex> hold(followerLock);
    CaretFollower& f = caretFollower;
    f = CaretFollower();
    // Hooks and the timer call into this library for as long as they live.
    f.pin = PinThisLibrary();
    f.running = true;
    f.thread = GetCurrentThreadId();
    f.timing = TimingFromInitNumbers(pollPeriod, answerWait);
    Hook(f);
    f.timer = SetTimer(nullptr, 0, kTickMs, OnTick);
    f.lastTick = GetTickCount();
    f.accessible = StartAccessibleCarets(f.timing.answerWaitMs);
    Look(f, nullptr);
    return 1;
}

extern "C" const POINT* WINAPI qxGetCaretPos(int* valid) {
    std::lock_guard<std::recursive_mutex> hold(followerLock);
    CaretFollower& f = caretFollower;
    int moved = 0;
    const POINT* answer = nullptr;
    if (f.running) {
        const DWORD now = GetTickCount();
        if (now - f.lastTick >= kSilentThreadMs && now - f.schedule.lastLook >= f.timing.pollMs) {
            Look(f, nullptr);
        }
        moved = TakeCaretAnswer(&f.answers, f.present, f.point);
        if (f.present) {
            f.returned = POINT{f.point.x, f.point.y};
            answer = &f.returned;
        }
    }
    if (valid != nullptr) {
        *valid = moved;
    }
    return answer;
}

extern "C" int WINAPI qxGetCaretPosRelease() {
    std::lock_guard<std::recursive_mutex> hold(followerLock);
    if (caretFollower.running) {
        if (AccessibleCarets* accessible = Stop(caretFollower)) {
            StopAccessibleCarets(accessible);
        }
    }
    return 1;
}

extern "C" const RECT* WINAPI qxGetFocusRect(int* moved, int* caret) {
    std::lock_guard<std::recursive_mutex> hold(followerLock);
    CaretFollower& f = caretFollower;
    const RECT* answer = nullptr;
    bool changed = false;
    if (f.running) {
        RefineFocus(f);
        changed = f.focusChanges != f.focusTold;
        f.focusTold = f.focusChanges;
        if (f.focusPlaced) {
            f.focusReturned = f.focusRect;
            answer = &f.focusReturned;
        }
    }
    if (moved != nullptr) {
        *moved = changed ? 1 : 0;
    }
    if (caret != nullptr) {
        *caret = f.running && f.present ? 1 : 0;
    }
    return answer;
}
