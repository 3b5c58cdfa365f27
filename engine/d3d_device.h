// The Direct3D object, the device and every resource the renderer works on, for one run.
#pragma once

#include <windows.h>

struct Renderer;

// Creates the Direct3D object and the device for `window` at size[0] x size[1], then every
// resource. While the display is busy the device is tried again once a second, up to 60 times;
// a close of the engine ends the retries at once. 1 on success, 0 on failure (reported).
int InitDirect3D(Renderer& renderer, HWND window, const UINT* size, DWORD cursorType);

// Creates the resources of the current device; with a size it first becomes the render size.
// 1 on success, 0 when a required resource could not be made (reported).
int CreateD3DResources(Renderer& renderer, const UINT* size, DWORD cursorType);

// Makes the resources whose size is the render size again at `size` (width, height), on the same
// device: the capture texture, the default pool and the read-back copy. 1 on success, 0 when one
// could not be made (reported).
int ResizeD3DResources(Renderer& renderer, const UINT* size);

// Releases every resource (not the device or the Direct3D object).
void ReleaseD3DResources(Renderer& renderer);

// Releases the device, then the Direct3D object.
void ReleaseDirect3D(Renderer& renderer);

// Releases the objects of the default pool, which a device reset takes away: the GPU copy of the
// capture, the RGB render target and the back buffer, and every reference to them.
void ReleaseDefaultPool(Renderer& renderer);

// Makes the default-pool objects again and sets the device state a reset clears. True when every
// one was made (failures are reported).
bool CreateDefaultPool(Renderer& renderer);
