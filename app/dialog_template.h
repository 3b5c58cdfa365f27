// A dialog template made at run time, for dialogs whose rows come from a table: the caption and
// every control's text in the program's language, in the shell's dialog face.
#pragma once

#include <windows.h>

#include <vector>

// Predefined control classes of a template item.
enum class ControlClass : WORD {
    kButton = 0x0080,
    kEdit = 0x0081,
    kStatic = 0x0082,
    kComboBox = 0x0085,
};

class DialogTemplate {
public:
    // `codePage` is that of every text handed in (1251 for the Russian texts, 1252 otherwise).
    DialogTemplate(UINT codePage, const char* caption, DWORD style, short width, short height);

    void Add(ControlClass type, DWORD style, short x, short y, short width, short height, WORD id,
             const char* text);
    // A control of a registered class, such as the common controls' "msctls_hotkey32".
    void Add(const wchar_t* className, DWORD style, short x, short y, short width, short height,
             WORD id, const char* text);

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void AddText(const char* text);
    void AddWideText(const wchar_t* text);
    void BeginItem(DWORD style, short x, short y, short width, short height, WORD id);
    void AlignToDword();

    UINT codePage_;
    std::vector<WORD> words_;
};
