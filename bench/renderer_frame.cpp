#include "renderer_frame.h"

#include <cstdint>
#include <vector>

#include "d3d_device.h"
#include "desktop_capture.h"
#include "frame_render.h"

double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double RendererFrameMs(HWND window, UINT width, UINT height, int frames) {
    const UINT size[2] = {width, height};
    if (!InitDirect3D(window, size, 0)) {
        return -1.0;
    }
    std::vector<uint8_t> target(static_cast<size_t>(width) * height * 4);
    DDSURFACEDESC surface = {};
    surface.dwSize = sizeof(surface);
    surface.dwWidth = width;
    surface.dwHeight = height;
    surface.lPitch = static_cast<LONG>(width * 4);
    surface.lpSurface = target.data();
    const POINT cursor = {static_cast<LONG>(width / 2), static_cast<LONG>(height / 2)};
    const int sw = static_cast<int>(width / 2);
    const int sh = static_cast<int>(height / 2);
    double start = 0.0;
    for (int frame = -3; frame < frames; ++frame) {
        if (frame == 0) {
            start = NowMs();
        }
        CaptureDesktop(frame & 7, 0, sw, sh, 4);
        RenderFrame(4, cursor, 1000);
        CopyFrameRGB(&surface);
    }
    const double perFrame = (NowMs() - start) / frames;
    ReleaseD3DResources();
    ReleaseDirect3D();
    return perFrame;
}
