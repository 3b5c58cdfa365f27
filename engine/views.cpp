#include "views.h"

#include "d3d_device.h"
#include "error_reporter.h"
#include "lens_image.h"
#include "lens_window.h"
#include "overlay.h"
#include "presentation.h"
#include "renderer_state.h"

namespace {

bool SameRect(const IntRect& a, const IntRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Empty(const IntRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// The other views show in the lens window; on the overlay path the run may not have one yet.
void ShowViewWindow(const ViewDisplay& parts) {
    HideOverlay(parts.display);
    parts.display.path = DisplayPath::kNoOverlay;
    if (!parts.window) {
        parts.window = std::make_unique<LensWindow>(GetModuleHandleA(nullptr));
        parts.presentation.lensWindow = parts.window.get();
    } else if (parts.window->Window() != nullptr && !parts.presentation.pluginTakeover) {
        ShowWindow(parts.window->Window(), SW_SHOWNOACTIVATE);
    }
}

} // namespace

uint32_t ViewToShow(ViewRun& views, uint32_t view) {
    if (view == views.refused) {
        return kViewLens;
    }
    views.refused = kViewCount;
    return view;
}

void EnterView(ViewRun& views, const ViewDisplay& parts, uint32_t view) {
    if (view == views.shown) {
        return;
    }
    const uint32_t left = views.shown;
    views.shown = view;
    views.follow = ViewFollow{};
    if (left == kViewDocked) {
        views.dock.Release();
    }
    if (IsOverlayPath(views.lensPath)) {
        if (view == kViewLens) {
            parts.display.path = views.lensPath;
            parts.presentation.overlayShown = 0;
            if (parts.window && parts.window->Window() != nullptr) {
                ShowWindow(parts.window->Window(), SW_HIDE);
            }
        } else if (left == kViewLens) {
            ShowViewWindow(parts);
        }
    }
    if (view == kViewDocked && parts.window) {
        parts.window->HandMessages(kAppBarCallbackMessage, DockedStrip::OnShellMessage,
                                   &views.dock);
    }
}

ViewPlacement PlaceOtherView(ViewRun& views, const EngineOptions& options, const LensRun& lens,
                             IntPoint point, HWND window) {
    const IntRect monitor = MonitorOf(lens, point);
    ViewRequest request;
    request.point = point;
    if (views.shown == kViewDocked) {
        // The strip stays on the monitor it was docked on for as long as that monitor is there.
        IntRect dockMonitor = views.dock.Monitor();
        const IntPoint dockCentre = {dockMonitor.left + (dockMonitor.right - dockMonitor.left) / 2,
                                     dockMonitor.top + (dockMonitor.bottom - dockMonitor.top) / 2};
        if (Empty(dockMonitor) || !SameRect(MonitorOf(lens, dockCentre), dockMonitor)) {
            dockMonitor = monitor;
        }
        request.shown =
            views.dock.Place(window, dockMonitor, options.dockEdge, options.dockPercent);
        request.bounds = SameRect(monitor, dockMonitor)
                             ? BesideStrip(monitor, request.shown, options.dockEdge)
                             : monitor;
        request.zoom = options.dockZoom;
        request.tracking = kTrackCentred;
    } else {
        request.shown = monitor;
        request.bounds = monitor;
        request.zoom = options.fullScreenZoom;
        request.tracking = options.tracking;
    }
    return PlaceView(request, &views.follow);
}

bool FitImages(Renderer& renderer, LensImage& image, LensImage& capture, const IntRect& shown) {
    const UINT size[2] = {static_cast<UINT>(shown.right - shown.left),
                          static_cast<UINT>(shown.bottom - shown.top)};
    if (image.Width() == size[0] && image.Height() == size[1]) {
        return true;
    }
    if (!image.Create(size[0], size[1]) || !capture.Create(size[0], size[1])) {
        ReportError("Failed CreateDIBSection", static_cast<int>(GetLastError()), "magnifier");
        return false;
    }
    return renderer.device == nullptr || ResizeD3DResources(renderer, size) == 1;
}
