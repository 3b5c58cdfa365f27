#include "renderer_state.h"

#include <cstring>

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

bool WriteQuad(ComPtr<IDirect3DVertexBuffer9>& buffer, const Quad& quad) {
    void* vertices = nullptr;
    if (FAILED(buffer->Lock(0, kQuadBytes, &vertices, 0))) {
        buffer.Reset();
        return false;
    }
    std::memcpy(vertices, &quad, kQuadBytes);
    buffer->Unlock();
    return true;
}

RendererPlatform g_RendererPlatform = {Direct3DCreate9, PauseForRenderer};
