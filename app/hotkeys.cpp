#include "hotkeys.h"

#include <commctrl.h>

#include "hotkey_defaults.h"
#include "hotkey_rules.h"
#include "option_hotkeys.h"
#include "program_state.h"
#include "resources/resource_ids.h"
#include "wheel_zoom.h"

namespace {

// The slots' identifiers: global atoms, 0 until a slot is registered the first time.
ATOM hotKeyIds[kHotKeySlotCount] = {};

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

// GetKeyState brings the thread's key state up to date with the keyboard first; a thread that has
// not read keyboard input yet would otherwise see a stale NumLock in GetKeyboardState.
bool NumLockOn() {
    return (GetKeyState(VK_NUMLOCK) & 1) != 0;
}

bool RegisterValue(HWND owner, ATOM id, uint32_t value) {
    return RegisterHotKey(owner, id, HotKeyModifiers(value), HotKeyVirtualKey(value)) != 0;
}

} // namespace

HWND ShowHotKeySlot(HWND dialog, int slot) {
    HWND control = GetDlgItem(dialog, VX_SETUP_HOTKEY_FIRST + slot);
    SendMessageA(control, HKM_SETRULES, 0, 0);
    const uint32_t value = settings.hotKeys[slot];
    if (value != 0) {
        SendMessageA(control, HKM_SETHOTKEY, value, 0);
    } else if (!IsWindowEnabled(GetDlgItem(dialog, VX_SETUP_CANCEL))) {
        SendMessageA(control, HKM_SETHOTKEY, FirstRunHotKey(slot, NumLockOn()), 0);
    }
    return control;
}

int TakeHotKeySlot(HWND control, HWND owner, int slot) {
    return SetHotKeySlot(owner, slot, LOWORD(SendMessageA(control, HKM_GETHOTKEY, 0, 0)));
}

int SetHotKeySlot(HWND owner, int slot, uint32_t value) {
    const uint32_t previous = settings.hotKeys[slot];
    if (hotKeyIds[slot] != 0) {
        UnregisterHotKey(owner, hotKeyIds[slot]);
    }
    const ATOM id = SlotAtom(slot);
    // An empty On/Off slot is stored without a registration: key 0 is no key.
    if (slot == 0 && value != 0 && (id == 0 || !RegisterValue(owner, id, value))) {
        if (previous != 0 && id != 0) {
            RegisterValue(owner, id, previous);
        }
        return 0;
    }
    settings.hotKeys[slot] = value;
    return 1;
}

int TakeHotKeySet(HWND owner, const uint32_t (&keys)[kHotKeySlotCount], bool lensOn) {
    const int onOff = SetHotKeySlot(owner, 0, keys[0]);
    for (int slot = kFirstAdjustmentSlot; slot < kHotKeySlotCount; ++slot) {
        SetHotKeySlot(owner, slot, keys[slot]);
        if (lensOn) {
            RegisterHotKeySlot(owner, slot);
        }
    }
    return onOff;
}

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
    return RegisterValue(owner, id, value) ? 1 : 0;
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
    RegisterOptionHotKeys(owner);
    MatchWheelZoom(owner, true);
}

void UnregisterAdjustmentHotKeys(HWND owner) {
    for (int slot = kFirstAdjustmentSlot; slot < kHotKeySlotCount; ++slot) {
        UnregisterHotKeySlot(owner, slot);
    }
    UnregisterOptionHotKeys(owner);
    StopWheelZoom();
}

void MatchWheelZoom(HWND owner, bool lensOn) {
    if (lensOn && programOptions.wheelZoom != 0) {
        StartWheelZoom(owner, programOptions.wheelKeys);
    } else {
        StopWheelZoom();
    }
}

void UnregisterAllHotKeys(HWND owner) {
    for (ATOM id : hotKeyIds) {
        if (id != 0) {
            UnregisterHotKey(owner, id);
        }
    }
    UnregisterOptionHotKeys(owner);
    StopWheelZoom();
}

void RouteHotKey(HWND window, LPARAM lParam) {
    // The low word holds the modifiers the key was registered with (MOD_ALT, MOD_CONTROL,
    // MOD_SHIFT).
    const unsigned command = HotKeyCommand(settings.hotKeys, LOWORD(lParam) & 0xF, HIWORD(lParam));
    if (command != 0) {
        PostMessageA(window, WM_COMMAND, command, 0);
    } else {
        RouteOptionHotKey(window, lParam);
    }
}
