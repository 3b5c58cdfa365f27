// The caret of programs that draw their own (browsers, editors built on web engines, office
// programs), asked of the focused window's accessible caret object. The question goes to the
// other program, so it is asked on a thread of its own: the caller never waits for the answer,
// and a program that does not answer holds up only that thread.
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

// Stops the thread without waiting for it: a question under way ends on its own.
void StopAccessibleCarets(AccessibleCarets* carets);
