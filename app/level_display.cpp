#include "level_display.h"

#include <windows.h>

#include "command_ids.h"
#include "engine_binding.h"
#include "level_texts.h"
#include "program_state.h"
#include "system_language.h"

namespace {

bool Russian() {
    return UsesRussianTexts(GetSystemDefaultLangID());
}

} // namespace

void ShowLevel(const std::string& text) {
    // Under the lock, so that a restart of the engine on another thread never hands over a text
    // half written.
    EngineLockHold hold;
    if (PutLevelText(text)) {
        HandOptionsToEngine();
    }
}

bool PutLevelText(const std::string& text) {
    if (programOptions.showLevel == 0 || !LensIsOn()) {
        return false;
    }
    EngineOptions& options = programOptions.engine;
    const size_t length = text.copy(options.levelText, sizeof(options.levelText) - 1);
    options.levelText[length] = '\0';
    // Every change gets a tick of its own, also two within one tick of the clock.
    uint32_t tick = GetTickCount();
    if (tick == options.levelTick) {
        ++tick;
    }
    options.levelTick = tick != 0 ? tick : 1;
    return true;
}

void ForgetLevel() {
    programOptions.engine.levelTick = 0;
    programOptions.engine.levelText[0] = '\0';
}

void ShowAdjustment(unsigned command, int brightness) {
    const EngineParameters& lens = settings.engine;
    const EngineOptions& views = programOptions.engine;
    switch (command) {
    case cmdZoomIn:
    case cmdZoomOut:
        // The zoom keys zoom the view shown; a view's zoom is in percent.
        if (views.view == kViewFullScreen) {
            ShowLevel(ZoomText(views.fullScreenZoom, 100, Russian()));
        } else if (views.view == kViewDocked) {
            ShowLevel(ZoomText(views.dockZoom, 100, Russian()));
        } else {
            ShowLevel(ZoomText(lens.lensWidth, lens.sourceWidth, Russian()));
        }
        break;
    case cmdSizeUp:
    case cmdSizeDown:
        if (views.view == kViewLens) {
            ShowLevel(SizeText(lens.lensWidth, lens.lensHeight, Russian()));
        }
        break;
    case cmdBrightnessUp:
    case cmdBrightnessDown:
        ShowLevel(BrightnessText(brightness, Russian()));
        break;
    default:
        break;
    }
}

void PutViewLevel() {
    EngineLockHold hold;
    PutLevelText(OptionChoiceText(kOptionView, programOptions.engine.view, Russian()));
}
