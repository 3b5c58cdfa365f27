// The engine's reading of the main program's options record: the fields the caller's record
// holds, each within its range, and the defaults for the rest. No Windows headers.
#pragma once

#include "engine_options.h"

// The values of a handed-over record. `live` may be null (no record handed over), shorter than
// this engine's record (an older caller) or longer (a newer one); a value outside its range
// counts as its default.
EngineOptions ReadEngineOptions(const EngineOptions* live);
