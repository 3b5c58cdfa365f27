// The rules of the eleven hot-key slots that need no Windows: the modifier conversion, the
// command of each slot, the routing of a pressed key and the names of the slots' atoms.
#pragma once

#include <cstddef>
#include <cstdint>

#include "program_options.h"
#include "settings_record.h"

// RegisterHotKey's modifiers for a slot value (hot-key control flags in bits 8-15):
// Alt 0x04 -> 0x1, Control 0x02 -> 0x2, Shift 0x01 -> 0x4. The control's extended-key flag 0x08
// (a key of the arrow block rather than the keypad) names no modifier: RegisterHotKey takes the
// key by its virtual-key code alone, and the control has no way to ask for the Windows key.
unsigned HotKeyModifiers(uint32_t slotValue);

// The virtual-key code of a slot value: bits 0-7.
unsigned HotKeyVirtualKey(uint32_t slotValue);

// The command a slot runs: 8002 (On/Off) for slot 0, 9000 + slot for slots 1 to 10.
unsigned HotKeySlotCommand(int slot);

// The command for a pressed hot key, as WM_HOTKEY gives it: the first slot, 0 to 10, whose virtual
// key and RegisterHotKey modifiers equal the pressed ones wins, so that Ctrl+Alt+F and Shift+F can
// run different commands. Empty slots never match. 0 when nothing matches.
unsigned HotKeyCommand(const uint32_t (&hotKeys)[kHotKeySlotCount], unsigned modifiers,
                       unsigned virtualKey);

// The name of a slot's global atom, "Vexlume_Hot_Key_<slot>". Returns 1, or 0 with `out` empty
// when it does not fit.
int HotKeyAtomName(char* out, size_t capacity, int slot);

// Hot keys kept in the options file, each running a command while the lens is on. Their atoms
// follow the eleven slots': "Vexlume_Hot_Key_<11 + index>".
struct OptionHotKey {
    OptionId option;
    unsigned command;
};
constexpr int kOptionHotKeyCount = 3;
extern const OptionHotKey kOptionHotKeys[kOptionHotKeyCount];

// The command of the first option hot key whose key and RegisterHotKey modifiers equal the
// pressed ones; 0 when none does. Keys of the eleven slots are matched before these.
unsigned OptionHotKeyCommand(const ProgramOptions& options, unsigned modifiers,
                             unsigned virtualKey);
