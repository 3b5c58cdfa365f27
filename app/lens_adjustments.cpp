#include "lens_adjustments.h"

#include "capture_wait.h"
#include "command_ids.h"
#include "engine_binding.h"
#include "lens_steps.h"
#include "level_display.h"
#include "option_commands.h"
#include "program_state.h"
#include "start_sound.h"

namespace {

constexpr int kBrightnessStep = 50;

uint32_t ScreenWidth() {
    return static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN));
}

uint32_t ScreenHeight() {
    return static_cast<uint32_t>(GetSystemMetrics(SM_CYSCREEN));
}

void SleepFor(uint32_t milliseconds, void*) {
    Sleep(milliseconds);
}

// The size steps change the lens, which the engine sizes its surfaces from at its start: the
// lens is stopped first (restoring a clamped size) and started again after.
void ResizeLens(HWND window, bool larger) {
    SwitchLensOff();
    if (larger) {
        StepSizeUp(&settings, &lensSizes, ScreenWidth(), ScreenHeight());
    } else {
        StepSizeDown(&settings, &lensSizes);
    }
    SwitchLensOn(window);
}

// The engine copies the lens image to the clipboard on its next frame and clears the request;
// the main thread waits for that, up to about 4.9 s.
void CaptureLens() {
    StoreShared(settings.engine.captureRequest, 1);
    const CaptureOutcome outcome =
        AwaitCaptureAnswer(settings.engine.captureRequest, settings.sound, SleepFor, nullptr);
    if (outcome.playSound) {
        PlayStartSound(programInstance);
    }
}

} // namespace

void RunLensAdjustment(HWND window, unsigned command) {
    if (command == cmdCapture) {
        if (LensIsOn()) {
            CaptureLens(); // without the lock: the wait must not hold up engine reports
        }
        return;
    }
    // The lock keeps a restart after a lost surface from changing the record meanwhile.
    EngineLockHold hold;
    if (!LensIsOn()) {
        return;
    }
    // The zoom keys zoom the view shown; the size keys size the lens, or the docked strip, and
    // leave the full-screen view as it is.
    const bool lens = programOptions.engine.view == kViewLens;
    int brightness = -1;
    switch (command) {
    case cmdZoomIn:
        if (!StepViewZoomOption(1)) {
            StepZoomIn(&settings, &lensSizes);
        }
        break;
    case cmdZoomOut:
        if (!StepViewZoomOption(-1)) {
            StepZoomOut(&settings, &lensSizes);
        }
        break;
    case cmdSizeUp:
        if (!StepDockSizeOption(1) && lens) {
            ResizeLens(window, true);
        }
        break;
    case cmdSizeDown:
        if (!StepDockSizeOption(-1) && lens) {
            ResizeLens(window, false);
        }
        break;
    case cmdBrightnessUp:
        brightness = StepEngineBrightness(1, kBrightnessStep);
        break;
    case cmdBrightnessDown:
        brightness = StepEngineBrightness(-1, kBrightnessStep);
        break;
    case cmdTransparentUp:
        StepTransparency(&settings, 1);
        break;
    case cmdTransparentDown:
        StepTransparency(&settings, -1);
        break;
    case cmdLockToggle:
        ToggleLock(&settings);
        break;
    default:
        break;
    }
    ShowAdjustment(command, brightness);
}
