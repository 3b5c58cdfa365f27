#include "optional_libraries.h"

namespace {

// Arguments of the caret library's start: its poll period and its longest wait for another
// program, in 1/65536 s.
constexpr int kCaretInitFirst = 9830;
constexpr int kCaretInitSecond = 5734;

} // namespace

void PointerHider::Bind() {
    module_.Reset(LoadLibraryExA(QX_HIDECURSOR_LIBRARY, nullptr, 0));
    showCursor_ = BindProc<QxShowCursorFn>(module_.Get(), "qxShowCursor");
    if (showCursor_ != nullptr) {
        showCursor_(0);
    }
}

void PointerHider::Release() {
    if (showCursor_ != nullptr) {
        showCursor_(1);
        showCursor_ = nullptr;
    }
    module_.Reset();
}

void CaretLocator::Bind() {
    module_.Reset(LoadLibraryExA(QX_GETCARETPOS_LIBRARY, nullptr, 0));
    init_ = BindProc<QxGetCaretPosInitFn>(module_.Get(), "qxGetCaretPosInit");
    get_ = BindProc<QxGetCaretPosFn>(module_.Get(), "qxGetCaretPos");
    release_ = BindProc<QxGetCaretPosReleaseFn>(module_.Get(), "qxGetCaretPosRelease");
    focus_ = BindProc<QxGetFocusRectFn>(module_.Get(), "qxGetFocusRect");
    if (init_ != nullptr) {
        init_(kCaretInitFirst, kCaretInitSecond);
    }
}

const POINT* CaretLocator::Query(int* valid) const {
    return get_ != nullptr ? get_(valid) : nullptr;
}

FocusReading CaretLocator::QueryFocus() const {
    FocusReading focus;
    if (focus_ != nullptr) {
        if (const RECT* rect = focus_(&focus.moved, &focus.caretShown)) {
            focus.hasRect = 1;
            focus.rect = IntRect{rect->left, rect->top, rect->right, rect->bottom};
        }
    }
    return focus;
}

void CaretLocator::Release() {
    if (release_ != nullptr) {
        release_();
    }
    init_ = nullptr;
    get_ = nullptr;
    release_ = nullptr;
    focus_ = nullptr;
    module_.Reset();
}
