#include "wheel_rules.h"

namespace {

constexpr int32_t kNotch = 120; // WHEEL_DELTA
constexpr uint32_t kCheckAfterMs = 1000;

// Virtual-key codes of the modifiers, each with its bit in ModifierTracker::down. The plain codes
// count as the left key: some sources of input send them.
struct ModifierKey {
    uint32_t virtualKey;
    uint32_t bit;
    uint32_t held;
};
constexpr ModifierKey kModifierKeys[] = {
    {0x10, 0x001, kHeldShift}, // VK_SHIFT
    {0x11, 0x004, kHeldCtrl},  // VK_CONTROL
    {0x12, 0x010, kHeldAlt},   // VK_MENU
    {0xA0, 0x001, kHeldShift}, // VK_LSHIFT
    {0xA1, 0x002, kHeldShift}, // VK_RSHIFT
    {0xA2, 0x004, kHeldCtrl},  // VK_LCONTROL
    {0xA3, 0x008, kHeldCtrl},  // VK_RCONTROL
    {0xA4, 0x010, kHeldAlt},   // VK_LMENU
    {0xA5, 0x020, kHeldAlt},   // VK_RMENU
    {0x5B, 0x040, kHeldWin},   // VK_LWIN
    {0x5C, 0x080, kHeldWin},   // VK_RWIN
};

constexpr uint32_t kChoices[kWheelKeysCount] = {
    kHeldCtrl | kHeldAlt,
    kHeldCtrl | kHeldShift,
    kHeldCtrl,
    kHeldCtrl | kHeldAlt | kHeldShift,
};

} // namespace

uint32_t WheelModifiers(uint32_t choice) {
    return kChoices[choice < kWheelKeysCount ? choice : kWheelCtrlAlt];
}

void TrackKey(ModifierTracker* tracker, uint32_t virtualKey, bool down) {
    for (const ModifierKey& key : kModifierKeys) {
        if (key.virtualKey == virtualKey) {
            tracker->down = down ? tracker->down | key.bit : tracker->down & ~key.bit;
            return;
        }
    }
}

uint32_t HeldModifiers(const ModifierTracker& tracker) {
    uint32_t held = 0;
    for (const ModifierKey& key : kModifierKeys) {
        if ((tracker.down & key.bit) != 0) {
            held |= key.held;
        }
    }
    return held;
}

bool ModifiersNeedCheck(const ModifierTracker& tracker, uint32_t now) {
    return !tracker.checked || now - tracker.checkedTick >= kCheckAfterMs;
}

void ModifiersChecked(ModifierTracker* tracker, uint32_t held, uint32_t now) {
    for (const ModifierKey& key : kModifierKeys) {
        if ((held & key.held) == 0) {
            tracker->down &= ~key.bit;
        }
    }
    tracker->checked = true;
    tracker->checkedTick = now;
}

bool WheelZooms(uint32_t heldModifiers, uint32_t choice) {
    return heldModifiers == WheelModifiers(choice);
}

int32_t TakeWheelSteps(int32_t* rest, int32_t delta) {
    if ((*rest > 0 && delta < 0) || (*rest < 0 && delta > 0)) {
        *rest = 0;
    }
    // Both are within one turn of the wheel's 16-bit range, so the sum cannot overflow.
    const int32_t total = *rest + delta;
    *rest = total % kNotch;
    return total / kNotch;
}
