#include "options_in_force.h"

#include <mutex>

#include "engine_options_reading.h"
#include "run_control.h"

namespace {

// The values of the last hand-over, one set per loaded library.
struct KeptOptions {
    SectionLock lock;
    EngineOptions values = kDefaultEngineOptions; // under the lock
};

KeptOptions kept;

} // namespace

void KeepOptionsInForce(const EngineOptions* options) {
    const EngineOptions values = ReadEngineOptions(options);
    std::lock_guard<SectionLock> hold(kept.lock);
    kept.values = values;
}

EngineOptions OptionsInForce() {
    std::lock_guard<SectionLock> hold(kept.lock);
    return kept.values;
}
