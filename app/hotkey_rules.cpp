#include "hotkey_rules.h"

#include <cstdio>

#include "command_ids.h"

namespace {

// Hot-key control flags (bits 8-15 of a slot) and RegisterHotKey modifiers.
constexpr unsigned kFlagShift = 0x01;
constexpr unsigned kFlagControl = 0x02;
constexpr unsigned kFlagAlt = 0x04;
constexpr unsigned kModAlt = 0x1;
constexpr unsigned kModControl = 0x2;
constexpr unsigned kModShift = 0x4;

} // namespace

unsigned HotKeyModifiers(uint32_t slotValue) {
    const unsigned flags = (slotValue >> 8) & 0xFF;
    unsigned modifiers = 0;
    if (flags & kFlagAlt) {
        modifiers |= kModAlt;
    }
    if (flags & kFlagControl) {
        modifiers |= kModControl;
    }
    if (flags & kFlagShift) {
        modifiers |= kModShift;
    }
    return modifiers;
}

unsigned HotKeyVirtualKey(uint32_t slotValue) {
    return slotValue & 0xFF;
}

unsigned HotKeySlotCommand(int slot) {
    return slot == 0 ? cmdToggle : cmdZoomIn - 1 + static_cast<unsigned>(slot);
}

unsigned HotKeyCommand(const uint32_t (&hotKeys)[kHotKeySlotCount], unsigned modifiers,
                       unsigned virtualKey) {
    for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
        if (hotKeys[slot] != 0 && HotKeyVirtualKey(hotKeys[slot]) == virtualKey &&
            HotKeyModifiers(hotKeys[slot]) == modifiers) {
            return HotKeySlotCommand(slot);
        }
    }
    return 0;
}

const OptionHotKey kOptionHotKeys[kOptionHotKeyCount] = {
    {kOptionViewKey, cmdNextView},
    {kOptionSmoothKey, cmdSmoothToggle},
    {kOptionFilterKey, cmdNextFilter},
};

unsigned OptionHotKeyCommand(const ProgramOptions& options, unsigned modifiers,
                             unsigned virtualKey) {
    for (const OptionHotKey& key : kOptionHotKeys) {
        const uint32_t value = OptionValue(options, key.option);
        if (HotKeyVirtualKey(value) != 0 && HotKeyVirtualKey(value) == virtualKey &&
            HotKeyModifiers(value) == modifiers) {
            return key.command;
        }
    }
    return 0;
}

int HotKeyAtomName(char* out, size_t capacity, int slot) {
    const int length = std::snprintf(out, capacity, "%s_%d", "Vexlume_Hot_Key", slot);
    if (length < 0 || static_cast<size_t>(length) >= capacity) {
        if (capacity > 0) {
            out[0] = '\0';
        }
        return 0;
    }
    return 1;
}
