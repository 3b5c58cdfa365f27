// Texture loading from a bitmap resource, with the documented results of the D3DX 9 loader
// for the arguments the engine passes; the engine imports no D3DX library.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include "argb_image.h"

#ifndef D3DX_DEFAULT
#define D3DX_DEFAULT ((UINT)-1)
#endif

namespace d3dx {

// The D3DX 9 error for data that is not an image it can read (D3DXERR_INVALIDDATA).
constexpr HRESULT kErrorInvalidData = MAKE_HRESULT(1, 0x876, 2905);

// Decodes the bitmap resource `resource` of `module` (see CreateTextureFromResourceEx for where it
// is looked up and which bitmaps are read); false when it is missing or cannot be read.
bool LoadBitmapResource(HMODULE module, const char* resource, ArgbImage* image);

// Loads a bitmap resource of `module` into a new texture, as D3DXCreateTextureFromResourceExA
// documents it for these arguments: width/height D3DX_DEFAULT (the bitmap's size, rounded up to a
// power of two), the given mip levels, usage, format (A8R8G8B8), pool (MANAGED), filter and mip
// filter D3DX_DEFAULT, and a colour key: every pixel whose opaque colour equals the key
// (0xFF0000FF = opaque pure blue) becomes transparent black (0x00000000).
//
// The resource is looked up as RT_BITMAP, then as RT_RCDATA holding a .bmp file; the bitmaps
// read are those of DecodeBitmap. Sizes 0, D3DX_DEFAULT_NONPOW2 and D3DX_FROM_FILE, mip levels 0
// and D3DX_FROM_FILE and the filters of ParseFilter are understood too (the default filter and
// mip filter average by area); the size then follows the device's texture limits. The format is
// D3DFMT_A8R8G8B8 or D3DFMT_X8R8G8B8 (D3DFMT_UNKNOWN picks A8R8G8B8). A default-pool texture
// that cannot be locked is filled through a system-memory copy.
//
// Returns D3D_OK and the texture; D3DERR_INVALIDCALL for a missing device, name or result
// pointer, an unknown filter or another format; kErrorInvalidData for a missing resource or a
// bitmap that cannot be read; or the failing Direct3D call's result. On failure `*texture` is
// left alone.
HRESULT CreateTextureFromResourceEx(IDirect3DDevice9* device, HMODULE module, const char* resource,
                                    UINT width, UINT height, UINT mipLevels, DWORD usage,
                                    D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                    D3DCOLOR colorKey, IDirect3DTexture9** texture);

} // namespace d3dx
