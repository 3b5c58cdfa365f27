#include "hotkeys.h"

#include "hotkey_rules.h"
#include "program_state.h"

ATOM hotKeyIds[kHotKeySlotCount] = {};

namespace {

constexpr int kFirstAdjustmentSlot = 1;

// The slot's atom, made on first use; 0 when it cannot be made.
ATOM SlotAtom(int slot) {
    if (hotKeyIds[slot] == 0) {
        char name[32];
        if (HotKeyAtomName(name, sizeof(name), slot)) {
            hotKeyIds[slot] = GlobalAddAtomA(name);
        }
    }
    return hotKeyIds[slot];
}

} // namespace

int RegisterHotKeySlot(HWND owner, int slot) {
    const uint32_t value = settings.hotKeys[slot];
    if (value == 0) {
        return 0;
    }
    if (hotKeyIds[slot] != 0) {
        UnregisterHotKey(owner, hotKeyIds[slot]);
    }
    const ATOM id = SlotAtom(slot);
    if (id == 0) {
        return 0;
    }
    return RegisterHotKey(owner, id, HotKeyModifiers(value), HotKeyVirtualKey(value)) ? 1 : 0;
}

int UnregisterHotKeySlot(HWND owner, int slot) {
    if (settings.hotKeys[slot] != 0 && hotKeyIds[slot] != 0) {
        UnregisterHotKey(owner, hotKeyIds[slot]);
    }
    return 1;
}

void RegisterAdjustmentHotKeys(HWND owner) {
    for (int slot = kFirstAdjustmentSlot; slot < kHotKeySlotCount; ++slot) {
        RegisterHotKeySlot(owner, slot);
    }
}

void UnregisterAdjustmentHotKeys(HWND owner) {
    for (int slot = kFirstAdjustmentSlot; slot < kHotKeySlotCount; ++slot) {
        UnregisterHotKeySlot(owner, slot);
    }
}

void UnregisterAllHotKeys(HWND owner) {
    for (ATOM id : hotKeyIds) {
        if (id != 0) {
            UnregisterHotKey(owner, id);
        }
    }
}

void RouteHotKey(HWND window, LPARAM lParam) {
    const unsigned command = HotKeyCommand(settings.hotKeys, HIWORD(lParam));
    if (command != 0) {
        PostMessageA(window, WM_COMMAND, command, 0);
    }
}
