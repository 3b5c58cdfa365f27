// The frame loop's clock: frames paced to the monitor under the lens (frame_schedule.h has the
// rules), by the compositor's frames where desktop composition is on and by the system timer,
// raised to its finest resolution for the run, elsewhere. Every wait of the clock but the one for
// a compositor frame ends at once at a close or a redraw.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

#include "frame_schedule.h"
#include "lens_placement.h"
#include "scoped_handles.h"

// The refresh rate of the monitor that holds most of `monitor`, as its display device reports
// it, taken through UsableRefreshHz.
uint32_t MonitorRefreshHz(const IntRect& monitor);

// Microseconds of the performance counter.
int64_t SteadyMicroseconds();

// The system timer at a resolution of 1 ms for the owner's life, through
// Seams().timeBeginPeriod; given back at its end through the timeEndPeriod of that moment.
// timeBeginPeriod and timeEndPeriod of winmm.dll, bound at their first use (Seams()' own).
MMRESULT WINAPI SystemTimeBeginPeriod(UINT milliseconds);
MMRESULT WINAPI SystemTimeEndPeriod(UINT milliseconds);

class FinerTimer {
public:
    FinerTimer();
    ~FinerTimer();
    FinerTimer(const FinerTimer&) = delete;
    FinerTimer& operator=(const FinerTimer&) = delete;

private:
    MMRESULT(WINAPI* end_)(UINT) = nullptr; // null when the resolution was not raised
};

// The compositor's frames, bound by name from the composition library. Without the library, or
// without either function, composition counts as off.
class CompositorFrames {
public:
    explicit CompositorFrames(const char* dwmapi);
    CompositorFrames(const CompositorFrames&) = delete;
    CompositorFrames& operator=(const CompositorFrames&) = delete;

    // Desktop composition is on now.
    bool On() const;
    // Waits for the compositor's next frame; false when it cannot (composition went off).
    bool Await() const;

private:
    typedef HRESULT(WINAPI* IsCompositionEnabledFn)(BOOL*);
    typedef HRESULT(WINAPI* FlushFn)();

    UniqueModule dwmapi_;
    IsCompositionEnabledFn isCompositionEnabled_ = nullptr;
    FlushFn flush_ = nullptr;
};

// What one run's clock holds; made when the first frame starts, which it counts as started.
struct FrameClock {
    // `lensMonitor` is the run's reading of the monitor under the lens, which the clock follows.
    FrameClock(const IntRect& lensMonitor, uint32_t frameWait);

    FinerTimer timer;
    CompositorFrames compositor;
    const IntRect& monitor;
    IntRect readFor = {}; // the monitor of the last reading of the rate and the composition
    int64_t readAt = 0;
    uint32_t refreshHz = kDefaultRefreshHz;
    bool composited = false;
    FrameSchedule schedule;
};

// Waits until the next frame is due, and counts it as started; returns at once when the engine
// is closed. The frame loop reaches it through Seams().awaitFrame.
void AwaitFrame(FrameClock& clock, uint32_t frameWait);
