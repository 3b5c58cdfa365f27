#include "accessible_caret.h"

#include <new>
#include <oleacc.h>

#include "path_join.h"
#include "pinned_worker.h"
#include "system_caret.h"

struct AccessibleCarets : PinnedWorker {
    DWORD answerWaitMs = 0;
    HWND question = nullptr; // under `lock`: the window to ask next, or null
    // The latest answer, under `lock`.
    HWND answered = nullptr;
    bool present = false;
    CaretPoint point = {0, 0};
    LONG serial = 0;
    // The focus question and its answer, under `lock`.
    FocusedObject focusQuestion = {nullptr, 0, 0, 0};
    LONG focusAnswered = 0; // the event whose object was placed, 0 for none
    RECT focusRect = {0, 0, 0, 0};
};

namespace {

typedef HRESULT(WINAPI* AccessibleObjectFromWindowFn)(HWND, DWORD, REFIID, void**);
typedef HRESULT(WINAPI* AccessibleObjectFromEventFn)(HWND, DWORD, DWORD, IAccessible**, VARIANT*);

struct AccessibilityCalls {
    AccessibleObjectFromWindowFn fromWindow;
    AccessibleObjectFromEventFn fromEvent;
};

// The accessibility library from the system folder, never from elsewhere on the search path.
HMODULE LoadAccessibility() {
    char path[kPathCapacity];
    const UINT length = GetSystemDirectoryA(path, kPathCapacity);
    if (length == 0 || length >= kPathCapacity ||
        !JoinPath(path, kPathCapacity, path, "oleacc.dll")) {
        return nullptr;
    }
    return LoadLibraryExA(path, nullptr, 0);
}

bool Answers(HWND window, DWORD milliseconds) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, milliseconds,
                               &result) != 0;
}

// The caret object's rectangle, in screen coordinates of this (physical-pixel) thread.
bool AskCaretObject(AccessibleObjectFromWindowFn fromWindow, HWND window, CaretPoint* point) {
    IAccessible* caret = nullptr;
    if (FAILED(fromWindow(window, static_cast<DWORD>(OBJID_CARET), IID_IAccessible,
                          reinterpret_cast<void**>(&caret))) ||
        caret == nullptr) {
        return false;
    }
    VARIANT self;
    ZeroMemory(&self, sizeof(self));
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    long left = 0, top = 0, width = 0, height = 0;
    const HRESULT located = caret->accLocation(&left, &top, &width, &height, self);
    caret->Release();
    if (located != S_OK || (width == 0 && height == 0)) {
        return false;
    }
    *point = FollowedCaretPoint(left, top, top + height);
    return true;
}

// The focused object's rectangle, in screen coordinates of this (physical-pixel) thread.
bool AskFocusedObject(AccessibleObjectFromEventFn fromEvent, const FocusedObject& focused,
                      RECT* rect) {
    IAccessible* object = nullptr;
    VARIANT child;
    VariantInit(&child);
    if (FAILED(fromEvent(focused.window, static_cast<DWORD>(focused.object),
                         static_cast<DWORD>(focused.child), &object, &child)) ||
        object == nullptr) {
        return false;
    }
    long left = 0, top = 0, width = 0, height = 0;
    const HRESULT located = object->accLocation(&left, &top, &width, &height, child);
    object->Release();
    VariantClear(&child);
    if (located != S_OK || width <= 0 || height <= 0) {
        return false;
    }
    *rect = RECT{left, top, left + width, top + height};
    return true;
}

HWND TakeQuestion(AccessibleCarets* carets) {
    EnterCriticalSection(&carets->lock);
    HWND window = carets->question;
    carets->question = nullptr;
    LeaveCriticalSection(&carets->lock);
    return window;
}

FocusedObject TakeFocusQuestion(AccessibleCarets* carets) {
    EnterCriticalSection(&carets->lock);
    const FocusedObject focused = carets->focusQuestion;
    carets->focusQuestion.window = nullptr;
    LeaveCriticalSection(&carets->lock);
    return focused;
}

void Answer(AccessibleCarets* carets, HWND window, bool present, CaretPoint point) {
    EnterCriticalSection(&carets->lock);
    carets->answered = window;
    carets->present = present;
    carets->point = point;
    ++carets->serial;
    LeaveCriticalSection(&carets->lock);
}

void AnswerFocus(AccessibleCarets* carets, LONG event, const RECT& rect) {
    EnterCriticalSection(&carets->lock);
    carets->focusAnswered = event;
    carets->focusRect = rect;
    LeaveCriticalSection(&carets->lock);
}

// Answers the waiting questions; false when there was none.
bool AnswerQuestions(AccessibleCarets* carets, const AccessibilityCalls& calls) {
    const FocusedObject focused = TakeFocusQuestion(carets);
    RECT rect;
    if (focused.window != nullptr && calls.fromEvent != nullptr &&
        Answers(focused.window, carets->answerWaitMs) &&
        AskFocusedObject(calls.fromEvent, focused, &rect)) {
        AnswerFocus(carets, focused.event, rect);
    }
    HWND window = TakeQuestion(carets);
    if (window != nullptr) {
        CaretPoint point = {0, 0};
        const bool present = calls.fromWindow != nullptr && Answers(window, carets->answerWaitMs) &&
                             AskCaretObject(calls.fromWindow, window, &point);
        Answer(carets, window, present, point);
    }
    return focused.window != nullptr || window != nullptr;
}

DWORD WINAPI AskCarets(LPVOID parameter) {
    AccessibleCarets* carets = static_cast<AccessibleCarets*>(parameter);
    SeePhysicalPixels();
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HMODULE accessibility = LoadAccessibility();
    const AccessibilityCalls calls = {
        BindProc<AccessibleObjectFromWindowFn>(accessibility, "AccessibleObjectFromWindow"),
        BindProc<AccessibleObjectFromEventFn>(accessibility, "AccessibleObjectFromEvent")};
    while (!WorkerStopping(carets)) {
        if (!AnswerQuestions(carets, calls)) {
            WaitForSingleObject(carets->wake.Get(), INFINITE);
        }
    }
    if (accessibility != nullptr) {
        FreeLibrary(accessibility);
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    LeaveWorker(carets);
}

} // namespace

AccessibleCarets* StartAccessibleCarets(DWORD answerWaitMs) {
    AccessibleCarets* carets = new (std::nothrow) AccessibleCarets;
    if (carets == nullptr) {
        return nullptr;
    }
    carets->answerWaitMs = answerWaitMs;
    if (!StartPinnedWorker(carets, AskCarets)) {
        delete carets;
        return nullptr;
    }
    return carets;
}

void AskAccessibleCaret(AccessibleCarets* carets, HWND window) {
    EnterCriticalSection(&carets->lock);
    carets->question = window;
    LeaveCriticalSection(&carets->lock);
    SetEvent(carets->wake.Get());
}

bool LatestAccessibleCaret(AccessibleCarets* carets, HWND window, CaretPoint* point, LONG* serial) {
    EnterCriticalSection(&carets->lock);
    const bool present = carets->present && carets->answered == window;
    if (present) {
        *point = carets->point;
    }
    *serial = carets->serial;
    LeaveCriticalSection(&carets->lock);
    return present;
}

void AskAccessibleFocus(AccessibleCarets* carets, const FocusedObject& focused) {
    EnterCriticalSection(&carets->lock);
    carets->focusQuestion = focused;
    LeaveCriticalSection(&carets->lock);
    SetEvent(carets->wake.Get());
}

bool AccessibleFocusAnswer(AccessibleCarets* carets, LONG event, RECT* rect) {
    EnterCriticalSection(&carets->lock);
    const bool answered = carets->focusAnswered == event;
    if (answered) {
        *rect = carets->focusRect;
    }
    LeaveCriticalSection(&carets->lock);
    return answered;
}

void StopAccessibleCarets(AccessibleCarets* carets) {
    StopPinnedWorker(carets, 0);
}
