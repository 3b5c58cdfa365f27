// The lens adjustment steps on the settings record and the in-memory scales: zoom, size,
// transparency and lock. No Windows headers; the screen size is passed in.
#pragma once

#include <cstdint>

#include "settings_logic.h"

// Zoom+: a smaller zoomScale (stronger magnification) and the source size derived from it.
// The step is undone when the source would become narrower or lower than 2 pixels.
// Returns 1 when the source size changed.
int StepZoomIn(SettingsRecord* record, LensSizes* sizes);

// Zoom-: a larger zoomScale; undone when the source would become larger than the lens.
// Returns 1 when the source size changed.
int StepZoomOut(SettingsRecord* record, LensSizes* sizes);

// Size+: a larger sizeScale and lens. Undone beyond four times the base size; a lens larger than
// the screen wraps back to the base size with sizeScale 1.0. The engine must be stopped.
void StepSizeUp(SettingsRecord* record, LensSizes* sizes, uint32_t screenWidth,
                uint32_t screenHeight);

// Size-: a smaller sizeScale and lens; undone below 4 pixels a side. The engine must be stopped.
void StepSizeDown(SettingsRecord* record, LensSizes* sizes);

// Transparent+ (direction > 0) and Transparent- (direction < 0): one step within 0..255.
void StepTransparency(SettingsRecord* record, int direction);

// Lock/UnLock: lockPosition 0 becomes 1, anything else 0.
void ToggleLock(SettingsRecord* record);

// Zoom+ and Zoom- of the full-screen and docked views (direction 1 or -1): the zoom in percent to
// the next multiple of 50 above or below, within 100..1000, the steps of the settings dialog's
// zoom.
uint32_t StepViewZoom(uint32_t zoom, int direction);

// Size+ and Size- of the docked view: its strip 5 percent of the screen thicker or thinner, to
// the next multiple of 5, within 10..50.
uint32_t StepDockPercent(uint32_t percent, int direction);
