// Changes of an option by the user: from the Options dialog, the tray menu or a hot key.
#pragma once

#include "program_options.h"

// Takes `value` for the option when it may take it: stores it in the options file and hands it to
// a running lens at once (a changed hot key is registered anew while the lens is on).
void ChangeOption(OptionId id, uint32_t value);

// The next view after the current one: Lens, Full screen, Docked, then Lens again.
void StepToNextView();

// Smooth scaling on when it is off, off when it is on.
void ToggleSmoothImage();

// Zoom+ (direction 1) and Zoom- (-1) while the full-screen or the docked view is chosen: that
// view's zoom steps. False for the lens, whose zoom is the settings'.
bool StepViewZoomOption(int direction);
// Size+ and Size- while the docked view is chosen: the strip's size steps. False for the other
// views.
bool StepDockSizeOption(int direction);
