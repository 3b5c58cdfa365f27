// The renderer's whole frame (capture, upload, render, read-back) next to the bare GDI stretch of
// the same source to the same size, measured in the same run. Prints milliseconds per frame and
// the ratio for each lens size; then a packed-YUV overlay's frame packed by the shader next to
// the same frame packed by the processor.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "renderer_frame.h"
#include "scoped_handles.h"

namespace {

// The floor: one GDI stretch of the screen area into a 32-bit bitmap of lens size.
double BareStretchMs(int width, int height, int frames) {
    WindowDc screen(nullptr, GetDC(nullptr));
    UniqueMemoryDc memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueGdiObject bitmap(
        CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    SelectedObject selected(memory.Get(), bitmap.Get());
    const double start = NowMs();
    for (int frame = 0; frame < frames; ++frame) {
        StretchBlt(memory.Get(), 0, 0, width, height, screen.Get(), frame % 8, 0, width / 2,
                   height / 2, SRCCOPY | CAPTUREBLT);
        GdiFlush();
    }
    return (NowMs() - start) / frames;
}

} // namespace

int main() {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    const int sizes[][2] = {{256, 128}, {512, 256}, {1280, 1024}};
    std::printf("%-12s %11s %10s %9s %12s %14s %8s\n", "lens", "capture ms", "render ms", "read ms",
                "renderer ms", "GDI stretch ms", "ratio");
    for (const auto& size : sizes) {
        const int frames = size[0] >= 1280 ? 40 : 200;
        const double bare = BareStretchMs(size[0], size[1], frames);
        const RendererStages stages =
            RendererFrameMs(window, static_cast<UINT>(size[0]), static_cast<UINT>(size[1]), frames);
        std::printf("%5dx%-6d %11.3f %10.3f %9.3f %12.3f %14.3f %8.2f\n", size[0], size[1],
                    stages.capture, stages.render, stages.readBack, stages.Frame(), bare,
                    stages.Frame() / bare);
        std::fflush(stdout);
    }
    // A packed-YUV overlay's frame: the packing pass and its read-back, next to the RGB read-back
    // converted on the processor (the device then draws without pixel shaders).
    std::printf("\n%-12s %16s %19s %8s\n", "YUY2 lens", "shader frame ms", "processor frame ms",
                "ratio");
    for (const auto& size : sizes) {
        const int frames = size[0] >= 1280 ? 40 : 200;
        const UINT width = static_cast<UINT>(size[0]);
        const UINT height = static_cast<UINT>(size[1]);
        const RendererStages shader =
            RendererFrameMs(window, width, height, frames, FrameReadBack::kYuy2ByShader);
        const RendererStages processor =
            RendererFrameMs(window, width, height, frames, FrameReadBack::kYuy2ByProcessor);
        std::printf("%5dx%-6d %16.3f %19.3f %8.2f\n", size[0], size[1], shader.Frame(),
                    processor.Frame(), processor.Frame() / shader.Frame());
        std::fflush(stdout);
    }
    DestroyWindow(window);
    return 0;
}
