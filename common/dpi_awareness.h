// Physical pixels for the calling thread: pointer positions, window and monitor rectangles and
// screen sizes are then those of the monitors, whatever DPI awareness the process declared, so a
// host without a manifest still gets an unscaled lens. Per-monitor awareness (version 2, else the
// first version) is bound by name: systems before Windows 10 version 1607 lack the call and keep
// the process's own awareness.
#pragma once

#include <windows.h>

class PhysicalPixelsOnThisThread {
public:
    PhysicalPixelsOnThisThread();
    // Gives the thread the awareness it had before.
    ~PhysicalPixelsOnThisThread();
    PhysicalPixelsOnThisThread(const PhysicalPixelsOnThisThread&) = delete;
    PhysicalPixelsOnThisThread& operator=(const PhysicalPixelsOnThisThread&) = delete;

private:
    typedef HANDLE(WINAPI* SetThreadDpiAwarenessContextFn)(HANDLE);

    SetThreadDpiAwarenessContextFn setContext_ = nullptr;
    HANDLE previous_ = nullptr; // null when the thread's awareness was left alone
};
