#include "processor_frame.h"

#include <cstring>

#include "brightness.h"
#include "d3dx/bitmap_decoding.h"
#include "d3dx/image_scaling.h"
#include "d3dx/texture_from_resource.h"
#include "desktop_capture.h"
#include "lens_image.h"
#include "quad.h"

bool PrepareProcessorFrame(ProcessorFrame& frame, HMODULE module, DWORD cursorType, UINT width,
                           UINT height) {
    const char* picture = CursorBitmapName(cursorType);
    d3dx::ArgbImage loaded;
    if (picture != nullptr && d3dx::LoadBitmapResource(module, picture, &loaded)) {
        d3dx::ApplyColourKey(loaded, kCursorColourKey);
        // The quad shows the whole texture on kCursorSide pixels, sampled at texel centres.
        frame.cursor = d3dx::Resized(loaded, kCursorSide, kCursorSide, d3dx::Filter::Point);
    }
    return PrepareSmoothScaler(&frame.smooth, width, height);
}

DDSURFACEDESC PluginFrame(const LensImage& image) {
    DDSURFACEDESC frame;
    std::memset(&frame, 0, sizeof(frame));
    frame.dwSize = sizeof(frame);
    DescribeFrame(&frame, image.Width(), image.Height(), image.Pitch(), image.Row(0));
    return frame;
}

void FinishOnProcessor(const ProcessorFrame& frame, LensImage& image, int brightness,
                       POINT cursor) {
    const uint32_t gain = BrightnessGain(brightness);
    const int32_t width = static_cast<int32_t>(image.Width());
    const int32_t height = static_cast<int32_t>(image.Height());
    if (gain != kGainOne) {
        ApplyGain(image.Height(), width, image.Row(0), image.Pitch(), gain);
    }
    if (!frame.cursor.pixels.empty()) {
        BlendSprite(frame.cursor.pixels.data(), kCursorSide, kCursorSide,
                    cursor.x - kCursorSide / 2, cursor.y - kCursorSide / 2, image.Row(0), width,
                    height, image.Pitch());
    }
}
