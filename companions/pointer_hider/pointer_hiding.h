// Hiding the system pointer everywhere and giving the user's pointers back. The pointers come
// back on a show, on the library's unload, and at the first call after a process that hid them
// ended without a show (a marker file says so).
#pragma once

#include <windows.h>

#include "path_join.h"

// The system calls that change the pointers for every program, in one place so that tests can
// record them instead of changing the pointers of the machine they run on.
struct PointerCalls {
    BOOL(WINAPI* setSystemCursor)(HCURSOR cursor, DWORD id);
    BOOL(WINAPI* systemParametersInfo)(UINT action, UINT param, PVOID data, UINT flags);
};

// The system's own calls.
PointerCalls SystemPointerCalls();

// The standard pointers that are hidden: arrow, text, busy, cross, up arrow, the four sizing
// arrows and the move arrows, unavailable, hand, working in background, help.
constexpr int kStandardPointerCount = 14;

struct PointerHiding {
    PointerCalls calls = {};
    char markerPath[kPathCapacity] = {}; // empty: no marker is kept
    bool leftoverChecked = false;
    bool hidden = false;
    // Copies of the pointers as they were, given back if the system cannot reload the user's
    // settings.
    HCURSOR saved[kStandardPointerCount] = {};
};

// Prepares `hiding` to work through `calls`, with its marker at `markerPath` (may be empty).
void SetUpPointerHiding(PointerHiding* hiding, const PointerCalls& calls, const char* markerPath);

// show 0 hides the pointers, anything else gives them back; a repeat of the current state
// changes nothing. The first call also gives back pointers that an ended process left hidden.
// Returns 1 when the pointers are as asked.
int ShowSystemPointer(PointerHiding* hiding, int show);

// Gives the pointers back when they are still hidden: the library is going away.
void RestoreOnUnload(PointerHiding* hiding);
