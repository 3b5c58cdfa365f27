#include "option_commands.h"

#include "engine_binding.h"
#include "hotkeys.h"
#include "option_hotkeys.h"
#include "options_file.h"
#include "program_state.h"

void ChangeOption(OptionId id, uint32_t value) {
    if (!SetProgramOption(&programOptions, id, value)) {
        return;
    }
    SaveOption(programOptions, id);
    if (ShapeOf(id).kind == OptionKind::kHotKey && LensIsOn()) {
        RegisterOptionHotKeys(mainWindow);
    }
    if ((id == kOptionWheelZoom || id == kOptionWheelKeys) && LensIsOn()) {
        MatchWheelZoom(mainWindow, true);
    }
    HandOptionsToEngine();
}

void StepToNextView() {
    ChangeOption(kOptionView, (programOptions.engine.view + 1) % kViewCount);
}
