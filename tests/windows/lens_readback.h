// What a test sees of a running lens: the lens window on the screen and the clipboard copy, read
// by a second program as the user's other programs would read it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "settings_record.h"

struct ClipboardImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // rows top first, 0x00RRGGBB
};

// Reads the clipboard's bitmap through clipboard_probe.exe; false when there is none.
bool ReadClipboardElsewhere(ClipboardImage* image);
void EmptyTheClipboard();

HWND FindLensWindow();
// Waits (see WaitUntil) until the lens window exists at `expected`.
bool WaitForLensAt(const RECT& expected);
// Waits until the engine has served the clipboard request of `record`.
bool WaitForCaptureServed(const SettingsRecord& record);
// Waits until the engine has made `count` more frames that draw: each serves one request to
// copy the lens (2: not to the clipboard). After n of them, the first n - 1 have shown their
// image.
bool WaitForFrames(SettingsRecord* record, int count);
// The place of a 256 x 128 lens around the point (x, y) + 1.
RECT LensAround(int x, int y);

// What a 256 x 128 lens at zoom 2 in "Show one window" mode shows around the pointer `at` when
// the window under it shows `picture` (0x00RRGGBB, rows top first) over `window`: the source is
// 128 x 64 around `at` + 1, each of its pixels two by two in the lens; the window's pixels are
// opaque, every other pixel transparent black. Rows top first, 0xAARRGGBB.
std::vector<uint32_t> OneWindowLensOf(const std::vector<uint32_t>& picture, const RECT& window,
                                      POINT at);

// The pixels of a 256 x 128 `copy` that differ from `expected` in colour (alpha is not in a
// copy); the first few are reported as test failures.
int CopyMismatches(const ClipboardImage& copy, const std::vector<uint32_t>& expected);
