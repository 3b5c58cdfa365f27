// The caret locator "qxgetcaretpos.dll": where the text caret of the focused window is, for a
// lens that follows typing. Bound by name; every entry point is __stdcall and exported under
// its plain name.
#pragma once

#include <windows.h>

#define QX_GETCARETPOS_LIBRARY "qxgetcaretpos.dll"

extern "C" {
// Starts following the caret from the calling thread, which must pump messages: the library's
// event hook and timer run on it. The two numbers are durations in 1/65536 of a second:
// `pollPeriod` is how often the caret is looked at when nothing has happened (the engine's 9830
// is 150 ms), `answerWait` the longest wait for another program's answer (5734 is 87.5 ms).
// Values out of range (zero or negative included) are brought into range. Returns 1 when the
// caret is being followed.
int WINAPI qxGetCaretPosInit(int pollPeriod, int answerWait);
// The caret as last seen: a point (x, y) in physical pixels of the virtual screen, at the
// caret's bottom-left, or null when the focused window shows no caret. `valid` is set nonzero
// only when the caret has moved since the previous call. The point stays valid until the next
// call. Never waits.
const POINT* WINAPI qxGetCaretPos(int* valid);
// Stops following the caret. Returns 1.
int WINAPI qxGetCaretPosRelease();
// The control or item that holds the keyboard focus, as the system's accessibility focus events
// last told of it: its rectangle (right and bottom outside) in physical pixels of the virtual
// screen, or null when nothing in the foreground that holds the focus has a place on the screen.
// `moved` is set nonzero only when the focus went to a control or item (another one, or the same
// one again) since the previous call. `caret` is set nonzero while the focused window shows a
// text caret, which is then the place to follow (qxGetCaretPos). The rectangle stays valid until
// the next call. Never waits. Bound on its own: a library without it follows the caret only.
const RECT* WINAPI qxGetFocusRect(int* moved, int* caret);
}

typedef int(WINAPI* QxGetCaretPosInitFn)(int, int);
typedef const POINT*(WINAPI* QxGetCaretPosFn)(int*);
typedef int(WINAPI* QxGetCaretPosReleaseFn)();
typedef const RECT*(WINAPI* QxGetFocusRectFn)(int*, int*);
