#include "renderer_frame.h"

#include "d3d_device.h"
#include "desktop_capture.h"
#include "frame_render.h"
#include "lens_image.h"
#include "renderer_state.h"

double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double RendererFrameMs(HWND window, UINT width, UINT height, int frames) {
    const UINT size[2] = {width, height};
    Renderer renderer;
    LensImage image;
    if (!InitDirect3D(renderer, window, size, 0) || !image.Create(width, height)) {
        return -1.0;
    }
    const DDSURFACEDESC target = image.Description();
    const ScreenBounds screen = ReadScreenBounds();
    const POINT cursor = {static_cast<LONG>(width / 2), static_cast<LONG>(height / 2)};
    const int sw = static_cast<int>(width / 2);
    const int sh = static_cast<int>(height / 2);
    double start = 0.0;
    for (int frame = -3; frame < frames; ++frame) {
        if (frame == 0) {
            start = NowMs();
        }
        CaptureDesktop(renderer, image, screen, frame & 7, 0, sw, sh, 4);
        RenderFrame(renderer, 4, cursor, 1000);
        CopyFrameRGB(renderer, &target);
    }
    return (NowMs() - start) / frames;
}
