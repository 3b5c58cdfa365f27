/* The plug-in kit: everything a filter plug-in for the magnifier needs, for C and C++, with
 * MinGW or Microsoft's compiler. plugins/README.md is the guide that goes with it.
 *
 * A plug-in is a 32-bit DLL in the plug-in folder (%APPDATA%\Drelmont\Vexlume\Plug-Ins) that
 * exports vxpiInit, vxpiFilter and vxpiRelease by these exact, undecorated names (list them in
 * a .def file), all with the standard calling convention (WINAPI). Every call arrives on the
 * engine's magnifier thread, one at a time:
 *
 *   vxpiInit       once when the lens is switched on, with the lens size;
 *   vxpiFilter     once per frame, with the captured and already enlarged lens image, while it
 *                  is locked for changes in place;
 *   vxpiRelease    once when the lens is switched off, before the library is freed.
 */
#ifndef VXPI_H
#define VXPI_H

#include <stddef.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The results of vxpiInit:
 * VXPI_DECLINE    not wanted in this run: the library is freed at once and gets no more calls;
 * VXPI_ACCEPT     filter every frame (any value other than 0 and 2 means the same);
 * VXPI_TAKE_OVER  filter every frame and show the image yourself: the engine hides its own lens
 *                 for the whole run. */
#define VXPI_DECLINE 0
#define VXPI_ACCEPT 1
#define VXPI_TAKE_OVER 2

/* The description of the locked frame handed to vxpiFilter. It has the layout of DirectDraw's
 * DDSURFACEDESC (108 bytes): code written for <ddraw.h> may cast it to DDSURFACEDESC*.
 * dwSize is 108, dwHeight and dwWidth the frame's size in pixels, lPitch the distance in bytes
 * from the start of one row to the start of the next (signed: use it, never width * 4),
 * lpSurface the top-left pixel, ddpfPixelFormat.dwRGBBitCount 32. Every other member is 0.
 *
 * Pixels are 32 bits, A8R8G8B8: in memory blue, green, red, alpha; as a DWORD 0xAARRGGBB. The
 * top row comes first. Alpha is 255 where the screen was captured and 0 where the lens shows
 * nothing (the "Show one window" mode leaves everything outside that window transparent). The
 * colours count as premultiplied by alpha: a pixel of alpha 0 must keep red, green and blue 0,
 * and no colour may exceed its pixel's alpha. */
typedef struct VxpiPixelFormat {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
} VxpiPixelFormat;

typedef struct VxpiFrame {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwMipMapCount;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    void* lpSurface;
    DWORD colourKeys[8]; /* four DirectDraw colour keys, unused */
    VxpiPixelFormat ddpfPixelFormat;
    DWORD ddsCaps;
} VxpiFrame;

#ifdef __cplusplus
#define VXPI_ASSERT(condition, name) static_assert(condition, #name)
#else
#define VXPI_ASSERT(condition, name) typedef char vxpi_assert_##name[(condition) ? 1 : -1]
#endif
VXPI_ASSERT(sizeof(void*) == 4, plug_ins_are_32_bit_libraries);
VXPI_ASSERT(sizeof(VxpiFrame) == 108, frame_size);
VXPI_ASSERT(offsetof(VxpiFrame, dwHeight) == 8, height_offset);
VXPI_ASSERT(offsetof(VxpiFrame, dwWidth) == 12, width_offset);
VXPI_ASSERT(offsetof(VxpiFrame, lPitch) == 16, pitch_offset);
VXPI_ASSERT(offsetof(VxpiFrame, lpSurface) == 36, surface_offset);
VXPI_ASSERT(offsetof(VxpiFrame, ddpfPixelFormat) == 72, pixel_format_offset);
VXPI_ASSERT(offsetof(VxpiFrame, ddpfPixelFormat.dwRGBBitCount) == 84, bit_count_offset);
VXPI_ASSERT(offsetof(VxpiFrame, ddsCaps) == 104, caps_offset);
#undef VXPI_ASSERT

/* The entry points a plug-in exports. Lens height comes first, then the width; bitsPerPixel is
 * 32. The results of vxpiFilter and vxpiRelease are not looked at. A plug-in that lacks any of
 * the three is not used. */
int WINAPI vxpiInit(int lensHeight, int lensWidth, int bitsPerPixel);
int WINAPI vxpiFilter(VxpiFrame* frame);
int WINAPI vxpiRelease(void);

typedef int(WINAPI* VxpiInitFn)(int lensHeight, int lensWidth, int bitsPerPixel);
typedef int(WINAPI* VxpiFilterFn)(VxpiFrame* frame);
typedef int(WINAPI* VxpiReleaseFn)(void);

/* Exports of the engine library a plug-in may call from inside its entry points. Both give the
 * values of the frame being filtered. */
#define VXPI_ENGINE_LIBRARY "qxmagnifier.dll"
/* Writes where the pointer lies in the lens, in lens pixels (x, y); returns `position`. */
POINT* WINAPI qxvxpiGetCursorPos(POINT* position);
/* Writes the enlargement: lens width over source width into *zoomX, lens height over source
 * height into *zoomY; returns zoomX. */
double* WINAPI qxvxpiGetSizePixel(double* zoomX, double* zoomY);

typedef POINT*(WINAPI* QxvxpiGetCursorPosFn)(POINT* position);
typedef double*(WINAPI* QxvxpiGetSizePixelFn)(double* zoomX, double* zoomY);

/* The engine's exports, bound by name: the engine is already loaded when a plug-in runs, so no
 * import library is needed. Call vxpiBindEngine from vxpiInit; it returns 1 when both were
 * found, else 0 with the missing one null. */
typedef struct VxpiEngine {
    QxvxpiGetCursorPosFn getCursorPos;
    QxvxpiGetSizePixelFn getSizePixel;
} VxpiEngine;

static __inline int vxpiBindEngine(VxpiEngine* engine) {
    HMODULE module = GetModuleHandleA(VXPI_ENGINE_LIBRARY);
    engine->getCursorPos = NULL;
    engine->getSizePixel = NULL;
    if (module != NULL) {
        engine->getCursorPos =
            (QxvxpiGetCursorPosFn)(void*)GetProcAddress(module, "qxvxpiGetCursorPos");
        engine->getSizePixel =
            (QxvxpiGetSizePixelFn)(void*)GetProcAddress(module, "qxvxpiGetSizePixel");
    }
    return engine->getCursorPos != NULL && engine->getSizePixel != NULL;
}

#ifdef __cplusplus
}
#endif

#endif /* VXPI_H */
