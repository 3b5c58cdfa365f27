// The two exports plug-ins may call (undecorated in the export table through qxmagnifier.def).
#include "plugin_exports.h"

#include "vxpi.h"

namespace {

// Before the first frame: no magnification, the pointer in the lens's top-left corner.
LensView g_PluginView;

} // namespace

void PublishPluginView(const LensView& view) {
    g_PluginView = view;
}

POINT* WINAPI qxvxpiGetCursorPos(POINT* position) {
    if (position != nullptr) {
        position->x = g_PluginView.cursorInLens.x;
        position->y = g_PluginView.cursorInLens.y;
    }
    return position;
}

double* WINAPI qxvxpiGetSizePixel(double* zoomX, double* zoomY) {
    if (zoomX != nullptr) {
        *zoomX = g_PluginView.zoomX;
    }
    if (zoomY != nullptr) {
        *zoomY = g_PluginView.zoomY;
    }
    return zoomX;
}
