// The temporary clamp of a lens larger than the screen for one engine run, and its undoing.
// No Windows headers; the screen size is passed in.
#pragma once

#include <cstdint>

#include "settings_logic.h"

struct LensClamp {
    uint32_t lensClamped = 0; // the lens of the last start was lowered to the screen
    uint32_t savedLensWidth = 0;
    uint32_t savedLensHeight = 0;
};

// Clears the clamp state; then, when the lens is wider or taller than the screen, remembers its
// size, lowers each side that is too large to the screen's and derives the source size again.
void ClampLensToScreen(SettingsRecord* record, LensSizes* sizes, LensClamp* clamp,
                       uint32_t screenWidth, uint32_t screenHeight);

// After a run with a clamped lens: the remembered lens size again, and its source size.
// The clamp state itself stays until the next ClampLensToScreen.
void UndoLensClamp(SettingsRecord* record, LensSizes* sizes, const LensClamp& clamp);
