#include "renderer_state.h"

#include <cstring>

#include "d3d_device.h"

Renderer::~Renderer() {
    ReleaseD3DResources(*this);
    ReleaseDirect3D(*this);
}

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
