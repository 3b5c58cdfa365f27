#include "option_commands.h"

#include "engine_binding.h"
#include "hotkeys.h"
#include "lens_steps.h"
#include "level_display.h"
#include "option_hotkeys.h"
#include "options_file.h"
#include "program_state.h"

void ChangeOption(OptionId id, uint32_t value) {
    if (!SetProgramOption(&programOptions, id, value)) {
        return;
    }
    if (id == kOptionView) {
        PutViewLevel(); // shown from the frame that shows the view
    }
    // The engine shows the change at once, and only then is the file written: a frame that came
    // at its own time while the disk was busy would otherwise be followed by a second one.
    HandOptionsToEngine();
    SaveOption(programOptions, id);
    if (ShapeOf(id).kind == OptionKind::kHotKey && LensIsOn()) {
        RegisterOptionHotKeys(mainWindow);
    }
    if ((id == kOptionWheelZoom || id == kOptionWheelKeys) && LensIsOn()) {
        MatchWheelZoom(mainWindow, true);
    }
}

void StepToNextView() {
    ChangeOption(kOptionView, (programOptions.engine.view + 1) % kViewCount);
}

void ToggleSmoothImage() {
    ChangeOption(kOptionSmooth, programOptions.engine.smooth == 0 ? 1 : 0);
}

bool StepViewZoomOption(int direction) {
    const EngineOptions& options = programOptions.engine;
    if (options.view == kViewFullScreen) {
        ChangeOption(kOptionFullScreenZoom, StepViewZoom(options.fullScreenZoom, direction));
    } else if (options.view == kViewDocked) {
        ChangeOption(kOptionDockZoom, StepViewZoom(options.dockZoom, direction));
    } else {
        return false;
    }
    return true;
}

bool StepDockSizeOption(int direction) {
    if (programOptions.engine.view != kViewDocked) {
        return false;
    }
    ChangeOption(kOptionDockSize, StepDockPercent(programOptions.engine.dockPercent, direction));
    return true;
}
