// An image of the size the run shows (the lens, the monitor or the docked strip): a 32-bit
// top-down DIB section selected into a memory device context, kept until the shown size changes.
// The finished lens image is one: the finished frame is read back into it (or GDI copies the screen
// into it when that copy already is the frame), the lens window is drawn from its device context
// and the clipboard copy is taken from it. GDI's screen copy on its way to Direct3D is another.
// Pixels are A8R8G8B8 (blue, green, red, alpha in memory), rows exactly width x 4 bytes.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "scoped_handles.h"

class LensImage {
public:
    LensImage() = default;
    ~LensImage();
    LensImage(const LensImage&) = delete;
    LensImage& operator=(const LensImage&) = delete;

    // Makes the image, in place of the one it had; false, with the last error set and the image it
    // had kept, when the system cannot.
    bool Create(UINT width, UINT height);

    HDC Dc() const { return dc_.Get(); }
    UINT Width() const { return width_; }
    UINT Height() const { return height_; }
    SIZE Size() const { return SIZE{static_cast<LONG>(width_), static_cast<LONG>(height_)}; }
    LONG Pitch() const { return static_cast<LONG>(width_ * 4); }
    uint32_t* Row(UINT row) const { return bits_ + static_cast<size_t>(row) * width_; }

    // The image described like a locked surface, for the read-back of the finished frame.
    DDSURFACEDESC Description() const;

private:
    UniqueMemoryDc dc_;
    UniqueGdiObject bitmap_;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
    UINT width_ = 0;
    UINT height_ = 0;
};
