#include "option_commands.h"

#include "engine_binding.h"
#include "level_display.h"
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
    if (id == kOptionView) {
        PutViewLevel(); // shown from the frame that shows the view
    }
    HandOptionsToEngine();
}

void StepToNextView() {
    ChangeOption(kOptionView, (programOptions.engine.view + 1) % kViewCount);
}
