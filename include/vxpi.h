// The plug-in interface. A plug-in is a DLL in the plug-in folder that exports vxpiInit,
// vxpiFilter and vxpiRelease by these undecorated names, all __stdcall. Every call arrives on the
// engine's magnifier thread.
#pragma once

#include <windows.h>
#include <ddraw.h>

// Offered the lens size once per run. Return 0 to decline (the plug-in is unloaded at once),
// 2 to accept and hide the engine's own lens, any other value to accept.
typedef int(WINAPI* VxpiInitFn)(int lensHeight, int lensWidth, int bitsPerPixel);

// Called once per frame with the captured, already enlarged lens image, locked for changes in
// place: dwHeight, dwWidth, lPitch (bytes between rows), lpSurface and
// ddpfPixelFormat.dwRGBBitCount (32) are set; pixels are A8R8G8B8 (memory order blue, green,
// red, alpha). The result is ignored.
typedef int(WINAPI* VxpiFilterFn)(DDSURFACEDESC* frame);

// Called once at the end of the run, before the library is freed. The result is ignored.
typedef int(WINAPI* VxpiReleaseFn)(void);

// Exports of qxmagnifier.dll a plug-in may call from its entry points.
// Writes the pointer position inside the lens, in lens pixels, for the current frame.
typedef POINT*(WINAPI* QxvxpiGetCursorPosFn)(POINT* position);
// Writes the current enlargement: lens width over source width, lens height over source height.
typedef double*(WINAPI* QxvxpiGetSizePixelFn)(double* zoomX, double* zoomY);
