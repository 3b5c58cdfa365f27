// The keys the settings dialog offers on a first run, before any hot key has been stored: the
// numeric keypad, plain while NumLock is on, with Ctrl+Alt while it is off; and a second set for
// keyboards without a keypad, which the user chooses in the Options dialog. No Windows headers.
#pragma once

#include <cstdint>

// The default of `slot` (0 to 10) as a hot-key control value; 0 for a slot beyond the eleven.
uint32_t FirstRunHotKey(int slot, bool numLockOn);

// The keypad-free set: Ctrl+Alt with a letter or an arrow of the arrow block, shown as such in
// the hot-key controls. 0 (no key) for the transparency slots, which nothing on the screen
// shows, and for a slot beyond the eleven.
uint32_t LaptopHotKey(int slot);
