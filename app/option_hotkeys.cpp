#include "option_hotkeys.h"

#include "hotkey_rules.h"
#include "program_state.h"

namespace {

ATOM optionKeyIds[kOptionHotKeyCount] = {};

ATOM OptionKeyAtom(int index) {
    if (optionKeyIds[index] == 0) {
        char name[32];
        if (HotKeyAtomName(name, sizeof(name), kHotKeySlotCount + index)) {
            optionKeyIds[index] = GlobalAddAtomA(name);
        }
    }
    return optionKeyIds[index];
}

} // namespace

void RegisterOptionHotKeys(HWND owner) {
    UnregisterOptionHotKeys(owner);
    for (int i = 0; i < kOptionHotKeyCount; ++i) {
        const uint32_t value = OptionValue(programOptions, kOptionHotKeys[i].option);
        const ATOM id = HotKeyVirtualKey(value) != 0 ? OptionKeyAtom(i) : 0;
        if (id != 0) {
            RegisterHotKey(owner, id, HotKeyModifiers(value), HotKeyVirtualKey(value));
        }
    }
}

void UnregisterOptionHotKeys(HWND owner) {
    for (ATOM id : optionKeyIds) {
        if (id != 0) {
            UnregisterHotKey(owner, id);
        }
    }
}

void RouteOptionHotKey(HWND window, LPARAM lParam) {
    const unsigned command =
        OptionHotKeyCommand(programOptions, LOWORD(lParam) & 0xF, HIWORD(lParam));
    if (command != 0) {
        PostMessageA(window, WM_COMMAND, command, 0);
    }
}
