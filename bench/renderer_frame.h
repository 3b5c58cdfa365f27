// Shared by the benchmarks: a clock, and the renderer's whole frame measured on its own.
#pragma once

#include <windows.h>

// Milliseconds from an arbitrary start.
double NowMs();

// Milliseconds per frame of capture, upload, render and read-back at width x height (twice
// magnified), over `frames` frames after a short warm-up; -1 when the device cannot be made.
double RendererFrameMs(HWND window, UINT width, UINT height, int frames);
