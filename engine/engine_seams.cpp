#include "engine_seams.h"

#include "docked_strip.h"
#include "frame_clock.h"
#include "monitor_bounds.h"
#include "run_control.h"

namespace {

EngineSeams g_Seams = {Direct3DCreate9,       PauseUnlessClosed,   DirectDrawCreate,
                       SystemMonitorUnder,    "dwmapi.dll",        AwaitFrame,
                       SystemTimeBeginPeriod, SystemTimeEndPeriod, SystemAppBarMessage};

} // namespace

EngineSeams& Seams() {
    return g_Seams;
}
