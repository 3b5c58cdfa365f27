#include "renderer_state.h"

#include "d3d_device.h"
#include "run_control.h"

Renderer::~Renderer() {
    ReleaseD3DResources(*this);
    ReleaseDirect3D(*this);
}

namespace {

// The renderer's waits end early when the engine is closed, so that a close never waits for
// them.
bool PauseForRenderer(DWORD milliseconds) {
    return PauseUnlessClosed(milliseconds);
}

} // namespace

RendererPlatform g_RendererPlatform = {Direct3DCreate9, PauseForRenderer};
