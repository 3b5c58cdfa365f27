// The entry points of the caret locator "qxgetcaretpos.dll". The caret is looked at on the
// thread that started the locator: when the system reports a caret, focus or foreground change,
// on a timer tick after user input, and otherwise once per poll period. The caller only reads
// the last look.
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

void CALLBACK OnCaretEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG, DWORD,
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
