#include "hotkey_defaults.h"

#include "settings_record.h"

namespace {

// With NumLock off the keypad sends Clear, the cursor keys, Page Up/Down and End for its digits,
// so both sets lie on the same keys; Ctrl+Alt keeps the second set clear of ordinary typing.
struct SlotDefaults {
    uint32_t numLockOn;
    uint32_t numLockOff;
};

constexpr SlotDefaults kDefaults[kHotKeySlotCount] = {
    {0x0065, 0x060C}, // On/Off: Num 5 | Ctrl+Alt+Clear
    {0x0068, 0x0626}, // Zoom+: Num 8 | Ctrl+Alt+Up
    {0x0062, 0x0628}, // Zoom-: Num 2 | Ctrl+Alt+Down
    {0x0066, 0x0627}, // Size+: Num 6 | Ctrl+Alt+Right
    {0x0064, 0x0625}, // Size-: Num 4 | Ctrl+Alt+Left
    {0x0069, 0x0621}, // Capture: Num 9 | Ctrl+Alt+Page Up
    {0x0063, 0x0622}, // Brightness+: Num 3 | Ctrl+Alt+Page Down
    {0x0061, 0x0623}, // Brightness-: Num 1 | Ctrl+Alt+End
    {0x006B, 0x066B}, // Transparent+: Num + | Ctrl+Alt+Num +
    {0x006D, 0x066D}, // Transparent-: Num - | Ctrl+Alt+Num -
    {0x006A, 0x066A}, // Lock/UnLock: Num * | Ctrl+Alt+Num *
};

// Ctrl+Alt (0x600) with a letter, or with an arrow marked as one of the arrow block (0x800), so
// that no key of the numeric keypad is needed.
constexpr uint32_t kLaptopKeys[kHotKeySlotCount] = {
    0x064F, // On/Off: Ctrl+Alt+O
    0x0E26, // Zoom+: Ctrl+Alt+Up
    0x0E28, // Zoom-: Ctrl+Alt+Down
    0x0E27, // Size+: Ctrl+Alt+Right
    0x0E25, // Size-: Ctrl+Alt+Left
    0x0643, // Capture: Ctrl+Alt+C
    0x0642, // Brightness+: Ctrl+Alt+B
    0x0644, // Brightness-: Ctrl+Alt+D
    0,      // Transparent+
    0,      // Transparent-
    0x064C, // Lock/UnLock: Ctrl+Alt+L
};

} // namespace

uint32_t FirstRunHotKey(int slot, bool numLockOn) {
    if (slot < 0 || slot >= kHotKeySlotCount) {
        return 0;
    }
    return numLockOn ? kDefaults[slot].numLockOn : kDefaults[slot].numLockOff;
}

uint32_t LaptopHotKey(int slot) {
    return slot >= 0 && slot < kHotKeySlotCount ? kLaptopKeys[slot] : 0;
}
