// Shared by the benchmarks: the tests' clock, and the renderer's whole frame measured on its own.
#pragma once

#include <windows.h>

#include "progress_wait.h"

// Milliseconds per frame in each stage of the Direct3D route at width x height (twice
// magnified): the screen capture into the capture texture, the drawing (queued for the GPU), and
// the read-back, which waits for the GPU to finish.
struct RendererStages {
    double capture;
    double render;
    double readBack;
    double Frame() const { return capture + render + readBack; }
};

// How the frame is read back: as RGB for the lens window, or packed into YUY2 for an overlay,
// by the effect's packing pass or, as on a device below pixel shader 2.0, by the processor.
enum class FrameReadBack { kRgb, kYuy2ByShader, kYuy2ByProcessor };

// The stages over `frames` frames after a short warm-up; all -1 when the device cannot be made.
RendererStages RendererFrameMs(HWND window, UINT width, UINT height, int frames,
                               FrameReadBack readBack = FrameReadBack::kRgb);

// Milliseconds per frame of the lens window's route at width x height (twice magnified): the
// screen capture into the lens image, the brightness and the internal cursor on the processor,
// and the lens window showing the image; -1 when the window or the image cannot be made.
double LensWindowFrameMs(UINT width, UINT height, int frames);
