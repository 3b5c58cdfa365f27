// A shipped filter as a plug-in: it takes every lens of 32-bit pixels and passes each frame
// through one pixel routine, chosen when the library is built (VX_FILTER names it).
#include "pixel_filters.h"
#include "vxpi.h"

int WINAPI vxpiInit(int, int, int bitsPerPixel) {
    return bitsPerPixel == 32 ? VXPI_ACCEPT : VXPI_DECLINE;
}

int WINAPI vxpiFilter(VxpiFrame* frame) {
    if (frame == nullptr || frame->lpSurface == nullptr ||
        frame->ddpfPixelFormat.dwRGBBitCount != 32) {
        return 0;
    }
    VX_FILTER(PixelRows{static_cast<uint8_t*>(frame->lpSurface), frame->lPitch, frame->dwWidth,
                        frame->dwHeight});
    return 1;
}

int WINAPI vxpiRelease() {
    return 1;
}
