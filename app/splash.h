// The splash picture shown once at start-up, before the message loop: bitmap 113 (on a display
// scaled to 175 % or more, the same picture twice as large) drawn with its own alpha above the
// screen centre, then faded out.
#pragma once

#include <windows.h>

// Shows and fades the splash (about 3.5 s) on systems of major version 5 or later; draws it from
// a memory context made compatible with `window`'s. Nothing is dispatched meanwhile.
void ShowSplash(HWND window);
