#include "dialog_template.h"

#include <cwchar>

namespace {

constexpr size_t kItemCountWord = 4; // DLGTEMPLATE: style (2 words), exStyle (2), cdit
constexpr WORD kFontPoints = 8;
constexpr WORD kAtomFollows = 0xFFFF;

void PushDword(std::vector<WORD>& words, DWORD value) {
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
}

} // namespace

DialogTemplate::DialogTemplate(UINT codePage, const char* caption, DWORD style, short width,
                               short height)
    : codePage_(codePage) {
    PushDword(words_, style | DS_SETFONT);
    PushDword(words_, 0); // extended style
    words_.push_back(0);  // item count, raised by every Add
    words_.push_back(0);
    words_.push_back(0);
    words_.push_back(static_cast<WORD>(width));
    words_.push_back(static_cast<WORD>(height));
    words_.push_back(0); // no menu
    words_.push_back(0); // the standard dialog class
    AddText(caption);
    words_.push_back(kFontPoints);
    AddWideText(L"MS Shell Dlg");
}

void DialogTemplate::Add(ControlClass type, DWORD style, short x, short y, short width,
                         short height, WORD id, const char* text) {
    BeginItem(style, x, y, width, height, id);
    words_.push_back(kAtomFollows);
    words_.push_back(static_cast<WORD>(type));
    AddText(text);
    words_.push_back(0); // no creation data
}

void DialogTemplate::Add(const wchar_t* className, DWORD style, short x, short y, short width,
                         short height, WORD id, const char* text) {
    BeginItem(style, x, y, width, height, id);
    AddWideText(className);
    AddText(text);
    words_.push_back(0);
}

void DialogTemplate::BeginItem(DWORD style, short x, short y, short width, short height, WORD id) {
    AlignToDword();
    ++words_[kItemCountWord];
    PushDword(words_, style | WS_CHILD | WS_VISIBLE);
    PushDword(words_, 0);
    words_.push_back(static_cast<WORD>(x));
    words_.push_back(static_cast<WORD>(y));
    words_.push_back(static_cast<WORD>(width));
    words_.push_back(static_cast<WORD>(height));
    words_.push_back(id);
}

void DialogTemplate::AddText(const char* text) {
    const int length = MultiByteToWideChar(codePage_, 0, text, -1, nullptr, 0);
    const size_t start = words_.size();
    words_.resize(start + static_cast<size_t>(length > 0 ? length : 1), 0);
    if (length > 0) {
        MultiByteToWideChar(codePage_, 0, text, -1, reinterpret_cast<wchar_t*>(&words_[start]),
                            length);
    }
}

void DialogTemplate::AddWideText(const wchar_t* text) {
    const size_t length = std::wcslen(text) + 1;
    words_.insert(words_.end(), text, text + length);
}

void DialogTemplate::AlignToDword() {
    if (words_.size() % 2 != 0) {
        words_.push_back(0);
    }
}
