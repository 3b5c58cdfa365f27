#include "renderer_frame.h"

#include "d3d_device.h"
#include "desktop_capture.h"
#include "display_path.h"
#include "frame_render.h"
#include "engine_state.h"
#include "lens_image.h"
#include "lens_window.h"
#include "processor_frame.h"
#include "renderer_state.h"

RendererStages RendererFrameMs(HWND window, UINT width, UINT height, int frames,
                               FrameReadBack readBack) {
    const UINT size[2] = {width, height};
    Renderer renderer;
    LensImage image;
    if (!InitDirect3D(renderer, window, size, 0) || !image.Create(width, height)) {
        return RendererStages{-1.0, -1.0, -1.0};
    }
    if (readBack == FrameReadBack::kYuy2ByProcessor) {
        renderer.pixelShader20 = 0;
    }
    const DisplayPath format =
        readBack == FrameReadBack::kRgb ? DisplayPath::kNoOverlay : DisplayPath::kOverlayYuy2;
    const DDSURFACEDESC target = image.Description();
    // The packed frame goes into the lens image's memory, two bytes a pixel.
    DDSURFACEDESC packed = target;
    packed.lPitch = static_cast<LONG>(width * 2);
    const ScreenBounds screen = ReadScreenBounds();
    const POINT cursor = {static_cast<LONG>(width / 2), static_cast<LONG>(height / 2)};
    const int sw = static_cast<int>(width / 2);
    const int sh = static_cast<int>(height / 2);
    RendererStages total = {0.0, 0.0, 0.0};
    for (int frame = -3; frame < frames; ++frame) {
        const double start = NowMs();
        CaptureDesktop(renderer, image, screen, frame & 7, 0, sw, sh, format);
        const double captured = NowMs();
        RenderFrame(renderer, format, cursor, 1100);
        const double rendered = NowMs();
        if (readBack == FrameReadBack::kRgb) {
            CopyFrameRGB(renderer, &target);
        } else {
            CopyFramePackedYUV(renderer, &packed, format);
        }
        if (frame >= 0) {
            total.capture += captured - start;
            total.render += rendered - captured;
            total.readBack += NowMs() - rendered;
        }
    }
    return RendererStages{total.capture / frames, total.render / frames, total.readBack / frames};
}

double LensWindowFrameMs(UINT width, UINT height, int frames) {
    LensImage image;
    ProcessorFrame processor;
    LensWindow window(GetModuleHandleA(nullptr));
    if (window.Window() == nullptr || !image.Create(width, height) ||
        !PrepareProcessorFrame(processor, EngineModule(), 1, width, height)) {
        return -1.0;
    }
    const ScreenBounds screen = ReadScreenBounds();
    const POINT cursor = {static_cast<LONG>(width / 2), static_cast<LONG>(height / 2)};
    double total = 0.0;
    for (int frame = -3; frame < frames; ++frame) {
        const double start = NowMs();
        CaptureDesktopToImage(image, screen, frame & 7, 0, static_cast<int>(width / 2),
                              static_cast<int>(height / 2), DisplayPath::kNoOverlay);
        FinishOnProcessor(processor, image, 1100, cursor);
        window.Present(image.Dc(), image.Size(), POINT{0, 0});
        if (frame >= 0) {
            total += NowMs() - start;
        }
    }
    return total / frames;
}
