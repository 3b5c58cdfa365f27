// The eleven global hot keys: slot 0 (On/Off) for the whole run, slots 1 to 10 while the lens is
// on, each registered on the main window under a global atom of its own.
#pragma once

#include <windows.h>

#include "settings_record.h"

// Registers one slot's key for `owner` (replacing its earlier registration). Returns 1 when
// RegisterHotKey succeeded, 0 when the slot is empty or the key cannot be had.
int RegisterHotKeySlot(HWND owner, int slot);
// Gives up one slot's key. Returns 1.
int UnregisterHotKeySlot(HWND owner, int slot);

// Slots 1 to 10, the option hot keys and the wheel zoom, set while the lens is on; failures are
// ignored.
void RegisterAdjustmentHotKeys(HWND owner);
void UnregisterAdjustmentHotKeys(HWND owner);

// The wheel zoom as the options ask for it while the lens is on (`lensOn`), for `owner`; off
// otherwise.
void MatchWheelZoom(HWND owner, bool lensOn);

// Every identifier that was ever made, at Exit.
void UnregisterAllHotKeys(HWND owner);

// Shows the slot in its hot-key control of the settings dialog (1021 + slot) and returns the
// control. An empty slot stays empty,
// except on a first run (the dialog's Cancel disabled), where the control offers the slot's
// default for the current NumLock state.
HWND ShowHotKeySlot(HWND dialog, int slot);

// Takes the slot from its hot-key control. Slot 0 (On/Off) is registered for `owner` at once; if
// its new key cannot be had, the slot keeps its previous key, registered again, and the result
// is 0. Slots 1 to 10 are registered the next time the lens is switched on. Returns 1 otherwise.
int TakeHotKeySlot(HWND control, HWND owner, int slot);
// The same with the key given as a hot-key control value.
int SetHotKeySlot(HWND owner, int slot, uint32_t value);

// Puts a whole set of keys into the eleven slots by the rules of SetHotKeySlot, and registers
// slots 1 to 10 at once when `lensOn`. Returns SetHotKeySlot's result for the On/Off slot.
int TakeHotKeySet(HWND owner, const uint32_t (&keys)[kHotKeySlotCount], bool lensOn);

// WM_HOTKEY: posts the command of the first slot whose key matches to `window`, or else that of
// the matching option hot key.
void RouteHotKey(HWND window, LPARAM lParam);
