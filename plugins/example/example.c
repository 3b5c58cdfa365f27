/* The example plug-in: a thin yellow cross-hair through the pointer, so that the eye finds the
 * pointer at once in a large lens. Copy this folder to start a plug-in of your own; the guide
 * is plugins/README.md. */
#include "vxpi.h"

static VxpiEngine engine;

int WINAPI vxpiInit(int lensHeight, int lensWidth, int bitsPerPixel) {
    (void)lensHeight;
    (void)lensWidth;
    if (bitsPerPixel != 32 || !vxpiBindEngine(&engine)) {
        return VXPI_DECLINE;
    }
    return VXPI_ACCEPT;
}

/* Rows are lPitch bytes apart, which may be more than four bytes per pixel. */
static DWORD* Row(VxpiFrame* frame, LONG y) {
    return (DWORD*)((BYTE*)frame->lpSurface + y * frame->lPitch);
}

/* Yellow at the pixel's own opacity: colours are premultiplied by alpha, and alpha stays. */
static void Paint(DWORD* pixel) {
    DWORD alpha = *pixel >> 24;
    *pixel = alpha << 24 | alpha << 16 | alpha << 8;
}

int WINAPI vxpiFilter(VxpiFrame* frame) {
    LONG width = (LONG)frame->dwWidth;
    LONG height = (LONG)frame->dwHeight;
    POINT pointer;
    LONG i;
    engine.getCursorPos(&pointer);
    if (pointer.y >= 0 && pointer.y < height) {
        for (i = 0; i < width; ++i) {
            Paint(Row(frame, pointer.y) + i);
        }
    }
    if (pointer.x >= 0 && pointer.x < width) {
        for (i = 0; i < height; ++i) {
            Paint(Row(frame, i) + pointer.x);
        }
    }
    return 1;
}

int WINAPI vxpiRelease(void) {
    return 1;
}
