// Known pictures on the screen for capture tests: top-most pop-up windows that show a given
// 32-bit image, and exact copies of what the screen shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// A deterministic image of fine detail: every pixel its own colour.
std::vector<uint32_t> DetailPattern(int width, int height, uint32_t seed);

// A top-most pop-up window showing `pixels` (width x height, rows top first, 0x00RRGGBB).
class PatternWindow {
public:
    PatternWindow(int x, int y, int width, int height, std::vector<uint32_t> pixels);
    ~PatternWindow();
    PatternWindow(const PatternWindow&) = delete;
    PatternWindow& operator=(const PatternWindow&) = delete;
    HWND Window() const { return window_; }
    // Waits (bounded) until the screen shows the image; true when it does.
    bool WaitUntilShown();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    HWND window_ = nullptr;
    int x_, y_, width_, height_;
    std::vector<uint32_t> pixels_;
};

// The screen's pixels in the rectangle (x, y, width x height), as 0x00RRGGBB, rows top first.
std::vector<uint32_t> ReadScreen(int x, int y, int width, int height);

// The pixels of a bitmap, as 0x00RRGGBB, rows top first; empty when they cannot be read.
std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height);

// Handles the messages waiting for this thread's windows.
void HandleWaitingMessages();

// A hidden window to own a Direct3D device.
HWND CreateDeviceWindow();
