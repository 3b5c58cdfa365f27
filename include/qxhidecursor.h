// The pointer hider "qxhidecursor.dll": hides the system pointer everywhere while the lens
// draws its own. Bound by name; the entry point is __stdcall and exported under its plain name.
#pragma once

#include <windows.h>

#define QX_HIDECURSOR_LIBRARY "qxhidecursor.dll"
// The marker kept in the application-data folder while the pointer is hidden.
#define QX_HIDECURSOR_MARKER_NAME "pointer-hidden.marker"

extern "C" {
// show 0: every standard system pointer becomes invisible. show 1 (any nonzero value): the
// user's own pointers come back as their settings have them (scheme, size and shape).
// Hiding twice needs one show; a show with nothing hidden changes nothing. The pointers also
// come back when the library is unloaded or the process ends, and, after a process that was
// ended from outside, at the library's first call in the next process. Returns 1 on success.
int WINAPI qxShowCursor(int show);
}

typedef int(WINAPI* QxShowCursorFn)(int);
