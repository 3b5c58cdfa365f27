// The optional pointer hider ("qxhidecursor.dll") and caret locator ("qxgetcaretpos.dll"),
// bound by name for one run of the lens. Either may be missing; each entry point is looked up
// on its own and each call is made only when its entry point was found.
#pragma once

#include <windows.h>

#include "lens_placement.h"
#include "qxgetcaretpos.h"
#include "qxhidecursor.h"
#include "scoped_handles.h"

class PointerHider {
public:
    // Binds the library and hides the system pointer.
    void Bind();
    // Shows the system pointer again and frees the library.
    void Release();

private:
    UniqueModule module_;
    QxShowCursorFn showCursor_ = nullptr;
};

class CaretLocator {
public:
    // Binds the library and initialises it.
    void Bind();
    // The caret position to follow, or null; the library sets `valid` when it is to be followed.
    const POINT* Query(int* valid) const;
    // The focused control or item, when the library tells of it.
    FocusReading QueryFocus() const;
    // Tells the library goodbye and frees it.
    void Release();

private:
    UniqueModule module_;
    QxGetCaretPosInitFn init_ = nullptr;
    QxGetCaretPosFn get_ = nullptr;
    QxGetCaretPosReleaseFn release_ = nullptr;
    QxGetFocusRectFn focus_ = nullptr;
};
