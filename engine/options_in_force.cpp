#include "options_in_force.h"

#include "engine_options_reading.h"
#include "settings_record.h"

namespace {

// The values of the last hand-over, one set per loaded library. Each is a whole word, stored
// and read whole; no lock, so that no frame ever waits for a hand-over, nor finds a lock gone
// when a program ends while a lens still runs.
EngineOptions kept = kDefaultEngineOptions;

} // namespace

void KeepOptionsInForce(const EngineOptions* options) {
    const EngineOptions values = ReadEngineOptions(options);
    StoreShared(kept.view, values.view);
    StoreShared(kept.tracking, values.tracking);
    StoreShared(kept.dockEdge, values.dockEdge);
    StoreShared(kept.dockPercent, values.dockPercent);
    StoreShared(kept.fullScreenZoom, values.fullScreenZoom);
    StoreShared(kept.dockZoom, values.dockZoom);
    StoreShared(kept.smooth, values.smooth);
}

EngineOptions OptionsInForce() {
    return ReadEngineOptions(&kept);
}
