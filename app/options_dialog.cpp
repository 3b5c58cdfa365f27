#include "options_dialog.h"

#include <windows.h>

#include <commctrl.h>

#include "dialog_template.h"
#include "laptop_keys.h"
#include "option_commands.h"
#include "program_state.h"
#include "system_language.h"

namespace {

HWND optionsDialog = nullptr;

// Rows in dialog units: the label on the left, its control on the right.
constexpr short kWidth = 268;
constexpr short kMargin = 7;
constexpr short kLabelWidth = 124;
constexpr short kControlX = kMargin + kLabelWidth + 6;
constexpr short kControlWidth = kWidth - kControlX - kMargin;
constexpr short kRowHeight = 18;
constexpr short kButtonWidth = 50;
constexpr short kButtonHeight = 14;
constexpr short kDropDownHeight = 90;

constexpr WORD kControlIdFirst = 1000; // + option
constexpr WORD kSpinIdFirst = 2000;    // + option, beside a number's box
constexpr WORD kActionIdFirst = 3000;  // + action

// Buttons below the options that act at once, whatever OK or Cancel does afterwards. A button's
// text then says that it is done, which a screen reader announces on the focused button.
struct OptionAction {
    const char* english;
    const char* russian;
    const char* doneEnglish;
    const char* doneRussian;
    bool (*run)();
};
constexpr OptionAction kActions[] = {
    {"Use laptop keys",
     "\xCA\xEB\xE0\xE2\xE8\xF8\xE8 \xE4\xEB\xFF \xED\xEE\xF3\xF2\xE1\xF3\xEA\xE0",
     "Laptop keys in use",
     "\xCA\xEB\xE0\xE2\xE8\xF8\xE8 \xED\xEE\xF3\xF2\xE1\xF3\xEA\xE0 \xE7\xE0\xE4\xE0\xED\xFB",
     UseLaptopKeys},
};
constexpr int kActionCount = sizeof(kActions) / sizeof(kActions[0]);
constexpr short kActionWidth = 100;

struct DialogTexts {
    const char* caption;
    const char* ok;
    const char* cancel;
};
const DialogTexts kEnglish = {"Vexlume Options", "OK", "Cancel"};
const DialogTexts kRussian = {"\xCF\xE0\xF0\xE0\xEC\xE5\xF2\xF0\xFB Vexlume", "OK",
                              "\xCE\xF2\xEC\xE5\xED\xE0"};

bool Russian() {
    return UsesRussianTexts(GetSystemDefaultLangID());
}

WORD ControlId(int option) {
    return static_cast<WORD>(kControlIdFirst + option);
}

// Label before control, so that the tab order and a screen reader's name for each control follow
// the reading order; a switch names itself.
void AddRow(DialogTemplate& dialog, OptionId id, short y, bool russian) {
    const char* label = OptionLabel(id, russian);
    const OptionShape shape = ShapeOf(id);
    if (shape.kind == OptionKind::kSwitch) {
        dialog.Add(ControlClass::kButton, BS_AUTOCHECKBOX | WS_TABSTOP, kMargin, y,
                   kWidth - 2 * kMargin, 10, ControlId(id), label);
        return;
    }
    dialog.Add(ControlClass::kStatic, SS_LEFT, kMargin, static_cast<short>(y + 2), kLabelWidth, 8,
               static_cast<WORD>(-1), label);
    switch (shape.kind) {
    case OptionKind::kChoice:
        dialog.Add(ControlClass::kComboBox, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kControlX,
                   y, kControlWidth, kDropDownHeight, ControlId(id), "");
        break;
    case OptionKind::kNumber:
        dialog.Add(ControlClass::kEdit, ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP, kControlX, y,
                   40, 12, ControlId(id), "");
        dialog.Add(UPDOWN_CLASSW, UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS,
                   0, 0, 0, 0, static_cast<WORD>(kSpinIdFirst + id), "");
        break;
    case OptionKind::kHotKey:
        dialog.Add(HOTKEY_CLASSW, WS_BORDER | WS_TABSTOP, kControlX, y, kControlWidth, 12,
                   ControlId(id), "");
        break;
    case OptionKind::kSwitch:
        break;
    }
}

void ShowValues(HWND dialog, bool russian) {
    for (int i = 0; i < kOptionCount; ++i) {
        const OptionId id = static_cast<OptionId>(i);
        const OptionShape shape = ShapeOf(id);
        const uint32_t value = OptionValue(programOptions, id);
        HWND control = GetDlgItem(dialog, ControlId(id));
        switch (shape.kind) {
        case OptionKind::kChoice:
            for (uint32_t v = 0; v <= shape.high; ++v) {
                SendMessageA(control, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(OptionChoiceText(id, v, russian)));
            }
            SendMessageA(control, CB_SETCURSEL, value, 0);
            break;
        case OptionKind::kNumber:
            SendDlgItemMessageA(dialog, kSpinIdFirst + id, UDM_SETRANGE32, shape.low, shape.high);
            SetDlgItemInt(dialog, ControlId(id), value, FALSE);
            break;
        case OptionKind::kHotKey:
            SendMessageA(control, HKM_SETHOTKEY, value, 0);
            break;
        case OptionKind::kSwitch:
            CheckDlgButton(dialog, ControlId(id), value != 0 ? BST_CHECKED : BST_UNCHECKED);
            break;
        }
    }
}

// The value the control shows; false when it shows none the option may take (a number typed out
// of range keeps the option as it was).
bool ShownValue(HWND dialog, OptionId id, uint32_t* value) {
    HWND control = GetDlgItem(dialog, ControlId(id));
    switch (ShapeOf(id).kind) {
    case OptionKind::kChoice: {
        const LRESULT selected = SendMessageA(control, CB_GETCURSEL, 0, 0);
        *value = static_cast<uint32_t>(selected);
        return selected != CB_ERR;
    }
    case OptionKind::kNumber: {
        BOOL read = FALSE;
        *value = GetDlgItemInt(dialog, ControlId(id), &read, FALSE);
        return read != FALSE;
    }
    case OptionKind::kHotKey:
        // The extended-key flag names no modifier (see HotKeyModifiers).
        *value = LOWORD(SendMessageA(control, HKM_GETHOTKEY, 0, 0)) & ~0x0800u;
        return true;
    case OptionKind::kSwitch:
        *value = IsDlgButtonChecked(dialog, ControlId(id)) == BST_CHECKED ? 1 : 0;
        return true;
    }
    return false;
}

void TakeValues(HWND dialog) {
    for (int i = 0; i < kOptionCount; ++i) {
        const OptionId id = static_cast<OptionId>(i);
        uint32_t value = 0;
        if (ShownValue(dialog, id, &value) && value != OptionValue(programOptions, id)) {
            ChangeOption(id, value);
        }
    }
}

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        optionsDialog = dialog;
        ShowValues(dialog, Russian());
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) >= kActionIdFirst && LOWORD(wParam) < kActionIdFirst + kActionCount) {
            const OptionAction& action = kActions[LOWORD(wParam) - kActionIdFirst];
            if (action.run()) {
                SetDlgItemTextA(dialog, LOWORD(wParam),
                                Russian() ? action.doneRussian : action.doneEnglish);
            }
        } else if (LOWORD(wParam) == IDOK) {
            TakeValues(dialog);
            EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void OpenOptions() {
    if (optionsDialog != nullptr) {
        SetForegroundWindow(optionsDialog);
        return;
    }
    const bool russian = Russian();
    const DialogTexts& texts = russian ? kRussian : kEnglish;
    const short buttonsY = static_cast<short>(kMargin + kOptionCount * kRowHeight + 4);
    DialogTemplate dialog(russian ? 1251 : 1252, texts.caption,
                          DS_MODALFRAME | DS_CENTER | DS_SETFOREGROUND | WS_POPUP | WS_CAPTION |
                              WS_SYSMENU,
                          kWidth, static_cast<short>(buttonsY + kButtonHeight + kMargin));
    for (int i = 0; i < kOptionCount; ++i) {
        AddRow(dialog, static_cast<OptionId>(i), static_cast<short>(kMargin + i * kRowHeight),
               russian);
    }
    for (int i = 0; i < kActionCount; ++i) {
        dialog.Add(ControlClass::kButton, BS_PUSHBUTTON | WS_TABSTOP,
                   static_cast<short>(kMargin + i * (kActionWidth + 6)), buttonsY, kActionWidth,
                   kButtonHeight, static_cast<WORD>(kActionIdFirst + i),
                   russian ? kActions[i].russian : kActions[i].english);
    }
    dialog.Add(ControlClass::kButton, BS_DEFPUSHBUTTON | WS_TABSTOP,
               static_cast<short>(kWidth - kMargin - 2 * kButtonWidth - 6), buttonsY, kButtonWidth,
               kButtonHeight, IDOK, texts.ok);
    dialog.Add(ControlClass::kButton, BS_PUSHBUTTON | WS_TABSTOP,
               static_cast<short>(kWidth - kMargin - kButtonWidth), buttonsY, kButtonWidth,
               kButtonHeight, IDCANCEL, texts.cancel);
    DialogBoxIndirectParamA(programInstance, dialog.Get(), nullptr, OptionsDialogProc, 0);
    optionsDialog = nullptr;
}
