// The keys the settings dialog offers on a first run, before any hot key has been stored: the
// numeric keypad, plain while NumLock is on, with Ctrl+Alt while it is off. No Windows headers.
#pragma once

#include <cstdint>

// The default of `slot` (0 to 10) as a hot-key control value; 0 for a slot beyond the eleven.
uint32_t FirstRunHotKey(int slot, bool numLockOn);
