// The options the frames follow: the values of the record handed over by the last
// qxSetOptionsMagnifier, each within its range, copied during the call. A change reaches the
// frames together with the call's request for a redraw and never before it, so a frame that
// starts in between cannot show the change once on its own and then again for the redraw.
#pragma once

#include "engine_options.h"

// Inside qxSetOptionsMagnifier: the values of `options` (null: the defaults) are in force from
// the next frame on.
void KeepOptionsInForce(const EngineOptions* options);

// At the start of a frame: the values in force.
EngineOptions OptionsInForce();
