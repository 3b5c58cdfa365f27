// Shared by the benchmarks: a clock, and the renderer's whole frame measured on its own.
#pragma once

#include <windows.h>

// Milliseconds from an arbitrary start.
double NowMs();

// Milliseconds per frame in each stage of the Direct3D route at width x height (twice
// magnified): the screen capture into the capture texture, the drawing (queued for the GPU), and
// the read-back, which waits for the GPU to finish.
struct RendererStages {
    double capture;
    double render;
    double readBack;
    double Frame() const { return capture + render + readBack; }
};

// The stages over `frames` frames after a short warm-up; all -1 when the device cannot be made.
RendererStages RendererFrameMs(HWND window, UINT width, UINT height, int frames);
