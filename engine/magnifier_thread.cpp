#include "magnifier_thread.h"

#include <memory>

#include "brightness.h"
#include "clipboard_copy.h"
#include "composition_guard.h"
#include "d3d_device.h"
#include "desktop_capture.h"
#include "device_loss.h"
#include "dpi_awareness.h"
#include "engine_seams.h"
#include "engine_state.h"
#include "error_reporter.h"
#include "filter_choice.h"
#include "frame_clock.h"
#include "frame_render.h"
#include "frame_route.h"
#include "lens_image.h"
#include "lens_placement.h"
#include "lens_window.h"
#include "level_badge.h"
#include "monitor_bounds.h"
#include "option_texts.h"
#include "options_in_force.h"
#include "optional_libraries.h"
#include "overlay.h"
#include "plugin_exports.h"
#include "plugin_host.h"
#include "presentation.h"
#include "processor_frame.h"
#include "renderer_state.h"
#include "run_control.h"
#include "scoped_handles.h"
#include "views.h"

namespace {

// What one run of the thread holds from start-up to shutdown. Every run makes its own, so
// nothing is left over from the run before.
struct Run {
    explicit Run(EngineParameters& settings) : params(settings) {}
    EngineParameters& params; // the main program's live record
    PointerHider pointerHider;
    CaretLocator caretLocator;
    DisplayBounds monitors;
    // The screen's device context, held for the run so that no frame asks for one. Taken on this
    // thread once it counts in physical pixels.
    WindowDc screenDc{nullptr, GetDC(nullptr)};
    UINT lensWidth = 0;
    UINT lensHeight = 0;
    LensRun lens = {};
    FollowState follow;
    Renderer renderer;
    // The finished lens image, which the lens window and the clipboard copy show: it changes only
    // when a frame is finished, so a frame that cannot be read back leaves the last one in place.
    LensImage image;
    // GDI's target for the screen copy of the Direct3D route, which goes on into the capture
    // texture, and of a smooth frame's unscaled source on either route.
    LensImage capture;
    ProcessorFrame processor;
    DisplaySurfaces display;
    Presentation presentation;
    std::unique_ptr<CompositionGuard> compositionGuard;
    std::unique_ptr<LensWindow> lensWindow;
    PluginTable plugins;
    ClipboardCopy clipboard;
    ViewRun views;
    OptionTexts texts; // the options' texts as the last frame took them up
    LevelBadge level;
};

// What one frame works with, read once at its start.
struct Frame {
    LensPlacement placement;
    int sourceWidth;
    int sourceHeight;
    int brightness;
    FrameRoute route;
    bool smooth; // scaled bilinearly, not in sharp blocks
};

void BindPointerAndCaret(Run& run) {
    if (LoadShared(run.params.internalCursor) != 0) {
        run.pointerHider.Bind();
    }
    if (LoadShared(run.params.followFocus) != 0) {
        run.caretLocator.Bind();
    }
}

void ReleasePointerAndCaret(Run& run) {
    run.pointerHider.Release();
    run.caretLocator.Release();
}

void ReleaseRenderer(Renderer& renderer) {
    ReleaseD3DResources(renderer);
    ReleaseDirect3D(renderer);
}

// Direct3D and the lens image. False when the lens cannot be shown (reported).
bool StartRendering(Run& run, HWND ownerWindow) {
    const UINT size[2] = {run.lensWidth, run.lensHeight};
    if (InitDirect3D(run.renderer, ownerWindow, size, LoadShared(run.params.internalCursor)) != 1) {
        ReportError("Failed InitDirect3D", 399, "magnifier");
        return false;
    }
    if (!run.image.Create(run.lensWidth, run.lensHeight) ||
        !run.capture.Create(run.lensWidth, run.lensHeight)) {
        ReportError("Failed CreateDIBSection", static_cast<int>(GetLastError()), "magnifier");
        return false;
    }
    return PrepareProcessorFrame(run.processor, EngineModule(),
                                 LoadShared(run.params.internalCursor), run.lensWidth,
                                 run.lensHeight);
}

void GuardComposition(Run& run) {
    if (!run.compositionGuard) {
        run.compositionGuard = std::make_unique<CompositionGuard>(Seams().compositionLibrary);
    }
}

// Chooses how the lens reaches the screen: the hardware overlay when it can be shown (with one
// retry after composition is switched off), else the lens window, which shows the lens image and
// needs no DirectDraw object. False when neither can be had (reported): nothing would show the
// lens.
bool ChooseDisplayPath(Run& run) {
    DisplaySurfaces& display = run.display;
    if (!InitDirectDraw(display, run.lensWidth, run.lensHeight)) {
        ReleaseOverlaySurfaces(display);
        display.path = DisplayPath::kNoOverlay;
    }
    const IntRect whole = {0, 0, static_cast<int32_t>(run.lensWidth),
                           static_cast<int32_t>(run.lensHeight)};
    const bool oneWindow = LoadShared(run.params.displayMode) >= kDisplayModeOneWindow;
    if (display.overlay != nullptr && !oneWindow &&
        ShowOverlay(run.presentation, display, whole) == DD_OK) {
        return true;
    }
    if (oneWindow) {
        display.path = DisplayPath::kWindowByChoice;
    } else {
        GuardComposition(run);
        if (display.overlay != nullptr) {
            ReleaseDirectDraw(display);
            if (InitDirectDraw(display, run.lensWidth, run.lensHeight) &&
                ShowOverlay(run.presentation, display, whole) == DD_OK) {
                return true;
            }
        }
        display.path = DisplayPath::kNoOverlay;
    }
    ReleaseDirectDraw(display);
    run.lensWindow = std::make_unique<LensWindow>(GetModuleHandleA(nullptr));
    if (run.lensWindow->Window() == nullptr) {
        ReportError("Failed CreateWindowEx", static_cast<int>(GetLastError()), "magnifier");
        run.lensWindow.reset();
        return false;
    }
    run.presentation.lensWindow = run.lensWindow.get();
    return true;
}

// The lens, or the full-screen or docked view, for this frame around the followed point.
void PlaceFrame(Run& run, const FrameReadings& readings, const EngineOptions& options,
                Frame* frame) {
    EnterView(run.views, ViewDisplay{run.display, run.presentation, run.lensWindow},
              ViewToShow(run.views, options.view));
    if (run.views.shown == kViewLens) {
        frame->placement = PlaceLens(run.lens, readings, &run.follow);
        frame->sourceWidth = static_cast<int>(readings.sourceWidth);
        frame->sourceHeight = static_cast<int>(readings.sourceHeight);
        return;
    }
    const IntPoint point = FollowedPoint(readings, &run.follow);
    HWND window = run.lensWindow ? run.lensWindow->Window() : nullptr;
    const ViewPlacement view = PlaceOtherView(run.views, options, run.lens, point, window);
    frame->placement = view.placement;
    frame->sourceWidth = static_cast<int>(view.sourceWidth);
    frame->sourceHeight = static_cast<int>(view.sourceHeight);
}

// Texts the main program handed over since the last frame: the filter chosen at a key, which
// takes over the display like any plug-in that asks to, and the level to show.
void TakeUpOptionTexts(Run& run) {
    if (!TakeOptionTexts(&run.texts)) {
        return;
    }
    ChooseFilter(&run.plugins, run.texts.filterName);
    if (PluginsTakeOver(run.plugins) && !run.presentation.pluginTakeover) {
        TakeOverDisplay(run.presentation, run.display);
    }
    StartLevelBadge(&run.level, run.texts, GetTickCount());
}

// Reads the pointer, the caret and the settings for this frame and places the view.
Frame BeginFrame(Run& run) {
    TakeUpOptionTexts(run);
    FrameReadings readings = ReadFrameSettings(run.params);
    POINT pointer;
    readings.pointer = GetCursorPos(&pointer) ? IntPoint{pointer.x, pointer.y} : run.follow.pointer;
    if (readings.lockPosition == 0) {
        int valid = 0;
        if (const POINT* caret = run.caretLocator.Query(&valid)) {
            readings.caret.hasPosition = 1;
            readings.caret.position = IntPoint{caret->x, caret->y};
        }
        readings.caret.valid = valid;
        readings.focus = run.caretLocator.QueryFocus();
    }
    // One reading of the options for the whole frame.
    const EngineOptions options = OptionsInForce();
    Frame frame;
    PlaceFrame(run, readings, options, &frame);
    PublishPluginView(frame.placement.view);
    frame.brightness = FrameBrightness(static_cast<int>(Engine().brightness));
    frame.route = RouteFor(run.display.path);
    frame.smooth = options.smooth != 0;
    return frame;
}

// False while the device is lost: the frame then captures and draws nothing. A device that
// cannot be made again ends the run, and the main program starts the lens anew.
bool DeviceReady(Run& run) {
    switch (RestoreLostDevice(run.renderer)) {
    case DeviceState::kReady:
        return true;
    case DeviceState::kLost:
        return false;
    case DeviceState::kGone:
        run.presentation.surfaceLost = RunsRemain();
        return false;
    }
    return false;
}

void Capture(Run& run, const Frame& frame) {
    const IntPoint at = frame.placement.source;
    const DisplayPath path = run.display.path;
    SmoothScaler* smooth = frame.smooth ? &run.processor.smooth : nullptr;
    const ScreenSource screen(run.monitors.screen, run.screenDc.Get());
    if (frame.route == FrameRoute::kProcessor) {
        CaptureDesktopToImage(run.image, screen, at.x, at.y, frame.sourceWidth, frame.sourceHeight,
                              path, SmoothCapture{smooth, &run.capture});
    } else {
        CaptureDesktop(run.renderer, run.capture, screen, at.x, at.y, frame.sourceWidth,
                       frame.sourceHeight, path, smooth);
    }
}

// The plug-ins change the captured frame in place, the chosen filter first and then in table
// order: the lens image on the processor route, the capture texture while it is locked on the
// Direct3D route (a frame that cannot be locked is not filtered). When no plug-in that had taken
// over the display is left (one faulted, or another filter was chosen), the display goes back to
// the engine's lens.
void Filter(Run& run, const Frame& frame) {
    if (PluginsActive(run.plugins)) {
        DDSURFACEDESC description = PluginFrame(run.image);
        if (frame.route == FrameRoute::kProcessor) {
            FilterFrame(&run.plugins, &description);
        } else if (LockCapturedFrame(run.renderer, &description) == 0) { // the texture instead
            FilterFrame(&run.plugins, &description);
            run.renderer.captureSurface->UnlockRect();
        }
    }
    if (run.presentation.pluginTakeover && !PluginsTakeOver(run.plugins)) {
        GiveBackDisplay(run.presentation, run.display);
    }
}

// The brightness and the internal cursor: by the processor in the lens image, or drawn by
// Direct3D for the overlay.
void Compose(Run& run, const Frame& frame) {
    const POINT cursor = {frame.placement.view.cursorInLens.x, frame.placement.view.cursorInLens.y};
    if (frame.route == FrameRoute::kProcessor) {
        FinishOnProcessor(run.processor, run.image, frame.brightness, cursor);
    } else {
        RenderFrame(run.renderer, run.display.path, cursor, frame.brightness);
    }
}

void CopyToClipboard(Run& run) {
    if (IsOverlayPath(run.display.path)) {
        const DDSURFACEDESC image = run.image.Description();
        CopyFrameRGB(run.renderer, &image);
    }
    run.clipboard.Serve(run.image.Dc(), run.image.Width(), run.image.Height(),
                        run.params.captureRequest);
}

// The run's images, and the smooth scaler, take the size of the view shown. A view whose images
// cannot be made is shown as the lens from the next frame on, until another view is chosen; a
// lens whose images cannot be made again ends the run.
bool FitImagesToView(Run& run, const Frame& frame) {
    if (FitImages(run.renderer, run.image, run.capture, frame.placement.lens)) {
        SmoothScaler& smooth = run.processor.smooth;
        if (smooth.targetWidth != run.image.Width() || smooth.targetHeight != run.image.Height()) {
            PrepareSmoothScaler(&smooth, run.image.Width(), run.image.Height());
        }
        return true;
    }
    if (run.views.shown == kViewLens) {
        run.presentation.presentFailed = true;
    } else {
        run.views.refused = run.views.shown;
    }
    return false;
}

void RunFrame(Run& run) {
    const Frame frame = BeginFrame(run);
    if (DeviceReady(run) && FitImagesToView(run, frame) &&
        PrepareOverlay(run.presentation, run.display, frame.placement.lens)) {
        Capture(run, frame);
        Filter(run, frame);
        Compose(run, frame);
        if (LoadShared(run.params.captureRequest) != 0) {
            CopyToClipboard(run);
        }
        run.presentation.level = LevelToShow(&run.level, GetTickCount());
        PresentFrame(run.presentation, run.display, run.renderer, run.image, frame.placement.lens);
    }
    MoveOverlay(run.presentation, run.display, frame.placement, run.follow.pointerDriven);
}

// The first frame places and shows the lens at once; every later one comes when the frame clock
// says, and a close during the wait ends the loop without another frame.
void RunFrames(Run& run) {
    if (!RunsRemain()) {
        return;
    }
    FrameClock clock(run.monitors.monitor, LoadShared(run.params.frameWait));
    RunFrame(run);
    while (RunsRemain() && !run.presentation.Ended()) {
        Seams().awaitFrame(clock, LoadShared(run.params.frameWait));
        if (!RunsRemain()) {
            break;
        }
        RunFrame(run);
    }
}

int EndNotification(const Presentation& presentation) {
    if (presentation.surfaceLost) {
        return kNotifySurfaceLost;
    }
    return presentation.presentFailed ? kNotifyPresentFailed : kNotifyEnded;
}

void RunMagnifier(const RunStart& start) {
    std::unique_lock<SectionLock> turn(RunTurn(), std::try_to_lock);
    if (!turn.owns_lock()) {
        // Another run holds the engine; when it has ended and the engine was closed meanwhile,
        // there is nothing left for this one to do.
        turn.lock();
        if (!RunsRemain()) {
            return;
        }
    }
    // Pointer, caret, monitors, lens window and clipboard copy all in physical pixels.
    const PhysicalPixelsOnThisThread physicalPixels;
    StartErrorReporter();
    Run run(*start.params);
    run.lensWidth = LoadShared(run.params.lensWidth);
    run.lensHeight = LoadShared(run.params.lensHeight);
    BindPointerAndCaret(run);

    if (!StartRendering(run, start.ownerWindow) || !ChooseDisplayPath(run)) {
        run.compositionGuard.reset();
        ReleaseRenderer(run.renderer);
        ReleasePointerAndCaret(run);
        // The main program switches the lens off on code 0; a close during the start-up has
        // already done so.
        SendNotification(RunsRemain() ? kNotifySetupFailed : kNotifyEnded);
        StopErrorReporter();
        return;
    }
    run.views.lensPath = run.display.path;
    CreateLevelBadge(&run.level, run.lensWidth, run.lensHeight);
    StartPlugins(&run.plugins, static_cast<int>(run.lensHeight), static_cast<int>(run.lensWidth));
    if (PluginsTakeOver(run.plugins)) {
        TakeOverDisplay(run.presentation, run.display);
    }
    run.lens = MakeLensRun(run.lensWidth, run.lensHeight, {&MonitorForLens, &run.monitors});

    SendNotification(kNotifyLensUp);
    RunFrames(run);

    run.views.dock.Release();
    ReleaseDirectDraw(run.display);
    ReleaseRenderer(run.renderer);
    run.presentation.lensWindow = nullptr;
    run.lensWindow.reset();
    run.compositionGuard.reset();
    ReleasePlugins(&run.plugins);
    SendNotification(EndNotification(run.presentation));
    ReleasePointerAndCaret(run);
    StopErrorReporter();
}

} // namespace

DWORD WINAPI MagnifierThread(LPVOID start) {
    {
        const std::unique_ptr<const RunStart> owned(static_cast<const RunStart*>(start));
        RunMagnifier(*owned);
    }
    // Gives back the reference on the library that qxCreateMagnifier took for this thread.
    FreeLibraryAndExitThread(EngineModule(), 0);
}
