// The caret as the system records it for the foreground window's thread, in physical pixels.
// Reading it sends nothing to the program that owns it, so a hung program cannot hold it up.
#pragma once

#include <windows.h>

#include "caret_rules.h"

struct CaretSighting {
    HWND foreground = nullptr;
    HWND focus = nullptr;      // the window with the keyboard focus, or the foreground window
    bool systemCaret = false;  // the thread has a caret of its own; `point` is where
    CaretPoint point = {0, 0}; // physical pixels of the virtual screen
};

// Leaves the calling thread's view of pixels as it was.
CaretSighting LookAtSystemCaret();

// Makes the calling thread see every window in physical pixels, where the system allows it. For
// threads of the library's own only: the caller's threads keep their view.
void SeePhysicalPixels();
