#include "engine_seams.h"

#include "docked_strip.h"
#include "monitor_bounds.h"
#include "run_control.h"

namespace {

EngineSeams g_Seams = {Direct3DCreate9,    PauseUnlessClosed, DirectDrawCreate,
                       SystemMonitorUnder, "dwmapi.dll",      SystemAppBarMessage};

} // namespace

EngineSeams& Seams() {
    return g_Seams;
}
