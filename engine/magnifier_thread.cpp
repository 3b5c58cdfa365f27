#include "magnifier_thread.h"

#include "engine_state.h"
#include "error_reporter.h"
#include "optional_libraries.h"
#include "run_control.h"

namespace {

// What one run of the thread holds from start-up to shutdown.
struct Run {
    PointerHider pointerHider;
    CaretLocator caretLocator;
};

void BindPointerAndCaret(Run& run) {
    if (LoadShared(g_Params->internalCursor) != 0) {
        run.pointerHider.Bind();
    }
    if (LoadShared(g_Params->followFocus) != 0) {
        run.caretLocator.Bind();
    }
}

void ReleasePointerAndCaret(Run& run) {
    run.pointerHider.Release();
    run.caretLocator.Release();
}

void RunFrame() {
    PauseBeforeFrame(LoadShared(g_Params->frameWait));
}

} // namespace

DWORD WINAPI MagnifierThread(LPVOID) {
    StartErrorReporter();
    Run run;
    BindPointerAndCaret(run);

    SendNotification(kNotifyLensUp);
    if (RunsRemain()) {
        do {
            RunFrame();
        } while (RunsRemain());
    }

    SendNotification(kNotifyEnded);
    ReleasePointerAndCaret(run);
    StopErrorReporter();
    return 0;
}
