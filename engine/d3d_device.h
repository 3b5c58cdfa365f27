// The Direct3D object, the device and every resource the renderer works on.
#pragma once

#include <windows.h>

// Sets g_CpuHasMMX from the processor's feature query.
void DetectCpuFeatures();

// Creates the Direct3D object and the device for `window` at size[0] x size[1], then every
// resource. 1 on success, 0 on failure (reported).
int InitDirect3D(HWND window, const UINT* size, DWORD cursorType);

// Creates the resources of the current device; with a size it first becomes the render size.
// 1 on success, 0 when a required resource could not be made (reported).
int CreateD3DResources(const UINT* size, DWORD cursorType);

// Releases every resource (not the device or the Direct3D object).
void ReleaseD3DResources();

// Releases the device, then the Direct3D object.
void ReleaseDirect3D();

// Creates g_VertexDeclaration on the current device; the result of CreateVertexDeclaration.
HRESULT CreateVertexDeclaration();
