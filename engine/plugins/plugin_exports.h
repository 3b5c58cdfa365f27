// What the engine's plug-in exports, qxvxpiGetCursorPos and qxvxpiGetSizePixel, answer: the
// zoom and the pointer's place in the lens of the frame being filtered. Plug-ins call them with
// no context, so the values are engine-wide; the frame loop publishes them once per frame,
// after placing the lens and before the filters run, on the same thread.
#pragma once

#include "lens_placement.h"

void PublishPluginView(const LensView& view);
