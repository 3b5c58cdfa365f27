// The copy of the lens image to the clipboard, as a device-dependent bitmap (CF_BITMAP).
#pragma once

#include <windows.h>

#include <cstdint>

#include "scoped_handles.h"

class ClipboardCopy {
public:
    // Makes the hidden window the clipboard is opened with: a clipboard opened without an owner
    // window cannot take data on Windows.
    ClipboardCopy();
    ~ClipboardCopy();
    ClipboardCopy(const ClipboardCopy&) = delete;
    ClipboardCopy& operator=(const ClipboardCopy&) = delete;

    // Serves a pending request: the lensWidth x lensHeight image in `source` goes to the
    // clipboard as a bitmap of its own when `captureRequest` is 1. Clears the request whatever the
    // outcome.
    void Serve(HDC source, UINT lensWidth, UINT lensHeight, uint32_t& captureRequest);

private:
    HWND owner_ = nullptr;
    // A bitmap made for the clipboard that never got there; replaced by the next copy.
    UniqueGdiObject pending_;
};
