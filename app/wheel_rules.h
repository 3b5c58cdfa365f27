// The rules of zooming with the mouse wheel that need no Windows: which modifier keys the user
// chose, which are held (tracked from the keyboard's own events), and how many zoom steps a turn
// of the wheel makes.
#pragma once

#include <cstdint>

// The modifier keys held with the wheel to zoom: the choices of the option, in their order.
enum WheelKeys : uint32_t {
    kWheelCtrlAlt = 0,
    kWheelCtrlShift = 1,
    kWheelCtrl = 2,
    kWheelCtrlAltShift = 3,
};
constexpr uint32_t kWheelKeysCount = 4;

// Modifiers as bits, whichever side of the keyboard they are on.
constexpr uint32_t kHeldCtrl = 0x1;
constexpr uint32_t kHeldAlt = 0x2;
constexpr uint32_t kHeldShift = 0x4;
constexpr uint32_t kHeldWin = 0x8;

// The modifiers a choice asks for; Ctrl+Alt for a value beyond the choices.
uint32_t WheelModifiers(uint32_t choice);

// The modifier keys down, as the keyboard's events tell, left and right apart, so that letting go
// of one Ctrl while the other stays down keeps Ctrl held.
struct ModifierTracker {
    uint32_t down = 0;        // one bit per key
    uint32_t checkedTick = 0; // when the last check with the system was, in milliseconds (wrapping)
    bool checked = false;
};

// A key went down or up: `virtualKey` is a Windows virtual-key code; other keys than the
// modifiers change nothing.
void TrackKey(ModifierTracker* tracker, uint32_t virtualKey, bool down);

// The modifiers held, as kHeld* bits.
uint32_t HeldModifiers(const ModifierTracker& tracker);

// Whether the tracked keys are to be checked with the system's own key state before a wheel turn
// is taken for zoom: before the first check, and when the last one is older than a second. A key
// let go while the program could not see it (the secure desktop, another program's hook) would
// otherwise leave a modifier held for good. The keys' own events are trusted in between, so that a
// zooming turn seldom waits for the system's answer.
bool ModifiersNeedCheck(const ModifierTracker& tracker, uint32_t now);

// The system says which modifiers (kHeld* bits) are really down: those it calls up are let go.
void ModifiersChecked(ModifierTracker* tracker, uint32_t held, uint32_t now);

// Whether a wheel turn with these modifiers held zooms: exactly the chosen ones, no more.
bool WheelZooms(uint32_t heldModifiers, uint32_t choice);

// The whole zoom steps in a turn of `delta` (120 a notch, forward positive), with what is left
// of earlier small turns; a turn the other way starts afresh. Positive steps zoom in.
int32_t TakeWheelSteps(int32_t* rest, int32_t delta);
