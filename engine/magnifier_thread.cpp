#include "magnifier_thread.h"

#include <memory>

#include "clipboard_copy.h"
#include "composition_guard.h"
#include "d3d_device.h"
#include "desktop_capture.h"
#include "engine_state.h"
#include "error_reporter.h"
#include "frame_render.h"
#include "lens_placement.h"
#include "lens_window.h"
#include "optional_libraries.h"
#include "overlay.h"
#include "presentation.h"
#include "run_control.h"

const char* g_CompositionLibrary = "dwmapi.dll";

namespace {

constexpr uint32_t kOneWindowMode = 2;

// What one run of the thread holds from start-up to shutdown.
struct Run {
    PointerHider pointerHider;
    CaretLocator caretLocator;
    int screenWidth = 0;
    int screenHeight = 0;
    UINT lensWidth = 0;
    UINT lensHeight = 0;
    LensRun lens = {};
    FollowState follow;
    Presentation presentation;
    std::unique_ptr<CompositionGuard> compositionGuard;
    std::unique_ptr<OverlayWindow> lensWindow;
    ClipboardCopy clipboard;
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

void ReleaseRenderer() {
    ReleaseD3DResources();
    ReleaseDirect3D();
}

void GuardComposition(Run& run) {
    if (!run.compositionGuard) {
        run.compositionGuard = std::make_unique<CompositionGuard>(g_CompositionLibrary);
    }
}

// Chooses how the lens reaches the screen: the hardware overlay when it can be shown (with one
// retry after composition is switched off), else the lens window.
void ChooseDisplayPath(Run& run) {
    if (!InitDirectDraw()) {
        ReleaseOverlaySurfaces();
        bOverlayFormats = kNoOverlay;
    }
    const IntRect whole = {0, 0, static_cast<int32_t>(run.lensWidth),
                           static_cast<int32_t>(run.lensHeight)};
    const bool oneWindow = LoadShared(g_Params->displayMode) >= kOneWindowMode;
    if (lpDDSOverlay != nullptr && !oneWindow && ShowOverlay(run.presentation, whole) == DD_OK) {
        return;
    }
    if (oneWindow) {
        ReleaseOverlaySurfaces();
        bOverlayFormats = kWindowByChoice;
    } else {
        GuardComposition(run);
        if (lpDDSOverlay != nullptr) {
            ReleaseDirectDraw();
            if (InitDirectDraw() && ShowOverlay(run.presentation, whole) == DD_OK) {
                return;
            }
        }
        ReleaseOverlaySurfaces();
        bOverlayFormats = kNoOverlay;
    }
    run.lensWindow = std::make_unique<OverlayWindow>(GetModuleHandleA(nullptr));
    run.presentation.lensWindow = run.lensWindow.get();
}

// Reads the pointer and the caret for this frame and places the lens.
LensPlacement PlaceLensForFrame(Run& run) {
    FrameReadings readings = ReadFrameSettings(*g_Params);
    POINT pointer;
    readings.pointer = GetCursorPos(&pointer) ? IntPoint{pointer.x, pointer.y} : run.follow.pointer;
    if (readings.lockPosition == 0) {
        int valid = 0;
        if (const POINT* caret = run.caretLocator.Query(&valid)) {
            readings.caret.hasPosition = 1;
            readings.caret.position = IntPoint{caret->x, caret->y};
        }
        readings.caret.valid = valid;
    }
    return PlaceLens(run.lens, readings, &run.follow);
}

void RunFrame(Run& run) {
    PauseBeforeFrame(LoadShared(g_Params->frameWait));
    const LensPlacement placement = PlaceLensForFrame(run);
    if (PrepareOverlay(run.presentation, placement.lens)) {
        CaptureDesktop(placement.source.x, placement.source.y,
                       static_cast<int>(LoadShared(g_Params->sourceWidth)),
                       static_cast<int>(LoadShared(g_Params->sourceHeight)), bOverlayFormats);
        const POINT cursor = {placement.view.cursorInLens.x, placement.view.cursorInLens.y};
        RenderFrame(bOverlayFormats, cursor, static_cast<int>(g_Brightness));
        if (LoadShared(g_Params->captureRequest) != 0) {
            run.clipboard.Serve(lpDDSBackTransparent, run.lensWidth, run.lensHeight,
                                g_Params->captureRequest);
        }
        PresentFrame(run.presentation, placement.lens, run.lensWidth, run.lensHeight);
    }
    MoveOverlay(run.presentation, placement, run.follow.pointerDriven);
}

int EndNotification(const Presentation& presentation) {
    if (presentation.surfaceLost) {
        return kNotifySurfaceLost;
    }
    return presentation.presentFailed ? kNotifyPresentFailed : kNotifyEnded;
}

} // namespace

DWORD WINAPI MagnifierThread(LPVOID) {
    std::unique_lock<RunTurnLock> turn(RunTurn(), std::try_to_lock);
    if (!turn.owns_lock()) {
        // Another run holds the engine; when it has ended and the engine was closed meanwhile,
        // there is nothing left for this one to do.
        turn.lock();
        if (!RunsRemain()) {
            return 0;
        }
    }
    StartErrorReporter();
    Run run;
    run.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    run.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    run.lensWidth = LoadShared(g_Params->lensWidth);
    run.lensHeight = LoadShared(g_Params->lensHeight);
    BindPointerAndCaret(run);

    const UINT size[2] = {run.lensWidth, run.lensHeight};
    if (InitDirect3D(g_OwnerWindow, size, LoadShared(g_Params->internalCursor)) != 1) {
        ReportError("Failed InitDirect3D", 399, "magnifier");
        ReleaseRenderer();
        ReleasePointerAndCaret(run);
        StopErrorReporter();
        return 0;
    }
    ChooseDisplayPath(run);
    run.lens = MakeLensRun(run.screenWidth, run.screenHeight, run.lensWidth, run.lensHeight);

    SendNotification(kNotifyLensUp);
    if (RunsRemain()) {
        do {
            RunFrame(run);
        } while (RunsRemain() && !run.presentation.Ended());
    }

    ReleaseDirectDraw();
    ReleaseRenderer();
    run.presentation.lensWindow = nullptr;
    run.lensWindow.reset();
    run.compositionGuard.reset();
    SendNotification(EndNotification(run.presentation));
    ReleasePointerAndCaret(run);
    StopErrorReporter();
    return 0;
}
