// The caret of programs that draw their own (browsers, editors built on web engines, office
// programs), asked of the focused window's accessible caret object, and the place of a focused
// item that is no window of its own (a list entry, a menu item, a part of a web page), asked of
// the accessible object its focus event names. The questions go to the other program, so they
// are asked on a thread of their own: the caller never waits for an answer, and a program that
// does not answer holds up only that thread.
#pragma once

#include <windows.h>

#include "caret_rules.h"

struct AccessibleCarets;

// Starts the asking thread; null when it cannot start. A window that does not answer a plain
// message within `answerWaitMs` is not asked.
AccessibleCarets* StartAccessibleCarets(DWORD answerWaitMs);

// Asks for the caret of `window`; the answer comes later. Never waits. A newer question
// replaces one not yet asked.
void AskAccessibleCaret(AccessibleCarets* carets, HWND window);

// The latest answer: true, with the caret's point in physical pixels, when it was about
// `window` and that window showed a caret. `serial` counts the answers so far.
bool LatestAccessibleCaret(AccessibleCarets* carets, HWND window, CaretPoint* point, LONG* serial);

// The object a focus event named, and the event's number.
struct FocusedObject {
    HWND window;
    LONG object;
    LONG child;
    LONG event;
};

// Asks for the rectangle of a focused object; the answer comes later. Never waits. A newer
// question replaces one not yet asked.
void AskAccessibleFocus(AccessibleCarets* carets, const FocusedObject& focused);

// True, with the object's rectangle in physical pixels, once the question of focus event `event`
// has been answered with a place.
bool AccessibleFocusAnswer(AccessibleCarets* carets, LONG event, RECT* rect);

// Stops the thread without waiting for it: a question under way ends on its own.
void StopAccessibleCarets(AccessibleCarets* carets);
