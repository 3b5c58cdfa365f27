#include "frame_clock.h"

#include <algorithm>

#include "engine_seams.h"
#include "run_control.h"

namespace {

// How old a reading of the rate and the composition may grow while the lens stays on its
// monitor: a new display mode, or composition switched, is taken up within this.
constexpr int64_t kRereadAfterUs = 1000000;
// The longest single timer wait; a longer wait is made of several.
constexpr int64_t kLongestWaitMs = 0x7FFFFFFE;

bool SameRect(const IntRect& a, const IntRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Whole milliseconds from `now` to `until`, rounded up, so a timer wait never ends early.
DWORD MillisecondsUntil(int64_t until, int64_t now) {
    const int64_t ms = (until - now + 999) / 1000;
    return static_cast<DWORD>(std::clamp<int64_t>(ms, 0, kLongestWaitMs));
}

// The pace for the next frame, reading the monitor's rate and the composition afresh when the
// lens has moved to another monitor or the reading has grown old.
FramePace CurrentPace(FrameClock& clock, uint32_t frameWait, int64_t now) {
    if (!SameRect(clock.readFor, clock.monitor) || now - clock.readAt >= kRereadAfterUs) {
        clock.readFor = clock.monitor;
        clock.readAt = now;
        clock.refreshHz = MonitorRefreshHz(clock.monitor);
        clock.composited = clock.compositor.On();
    }
    return PaceFor(frameWait, clock.refreshHz, clock.composited);
}

} // namespace

uint32_t MonitorRefreshHz(const IntRect& monitor) {
    const RECT area = {monitor.left, monitor.top, monitor.right, monitor.bottom};
    MONITORINFOEXA info = {};
    info.cbSize = sizeof(info);
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    HMONITOR handle = MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST);
    if (handle == nullptr || !GetMonitorInfoA(handle, &info) ||
        !EnumDisplaySettingsA(info.szDevice, ENUM_CURRENT_SETTINGS, &mode)) {
        return UsableRefreshHz(0);
    }
    return UsableRefreshHz(mode.dmDisplayFrequency);
}

int64_t SteadyMicroseconds() {
    // The counter never fails on the systems the engine runs on.
    LARGE_INTEGER frequency;
    LARGE_INTEGER count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    // In two parts, so that a counter of many days does not overflow.
    const int64_t seconds = count.QuadPart / frequency.QuadPart;
    const int64_t rest = count.QuadPart % frequency.QuadPart;
    return seconds * 1000000 + rest * 1000000 / frequency.QuadPart;
}

namespace {

using TimerPeriodFn = MMRESULT(WINAPI*)(UINT);

// A function of winmm.dll. The library is loaded at the first call and pinned for the rest of the
// process: Wine's winmm leaves registry keys open each time it is unloaded, so a host that loads
// and frees the engine again and again would gather them.
MMRESULT CallWinmm(const char* name, UINT milliseconds) {
    HMODULE winmm = nullptr;
    if (LoadLibraryExA("winmm.dll", nullptr, 0) == nullptr ||
        !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "winmm.dll", &winmm)) {
        return TIMERR_NOCANDO;
    }
    const auto call = BindProc<TimerPeriodFn>(winmm, name);
    return call != nullptr ? call(milliseconds) : TIMERR_NOCANDO;
}

} // namespace

MMRESULT WINAPI SystemTimeBeginPeriod(UINT milliseconds) {
    return CallWinmm("timeBeginPeriod", milliseconds);
}

MMRESULT WINAPI SystemTimeEndPeriod(UINT milliseconds) {
    return CallWinmm("timeEndPeriod", milliseconds);
}

FinerTimer::FinerTimer() {
    if (Seams().timeBeginPeriod(1) == TIMERR_NOERROR) {
        end_ = Seams().timeEndPeriod;
    }
}

FinerTimer::~FinerTimer() {
    if (end_ != nullptr) {
        end_(1);
    }
}

CompositorFrames::CompositorFrames(const char* dwmapi) {
    dwmapi_.Reset(LoadLibraryExA(dwmapi, nullptr, 0));
    isCompositionEnabled_ =
        BindProc<IsCompositionEnabledFn>(dwmapi_.Get(), "DwmIsCompositionEnabled");
    flush_ = BindProc<FlushFn>(dwmapi_.Get(), "DwmFlush");
    if (isCompositionEnabled_ == nullptr || flush_ == nullptr) {
        dwmapi_.Reset();
        isCompositionEnabled_ = nullptr;
        flush_ = nullptr;
    }
}

bool CompositorFrames::On() const {
    BOOL enabled = FALSE;
    return isCompositionEnabled_ != nullptr && SUCCEEDED(isCompositionEnabled_(&enabled)) &&
           enabled;
}

bool CompositorFrames::Await() const {
    return flush_ != nullptr && SUCCEEDED(flush_());
}

FrameClock::FrameClock(const IntRect& lensMonitor, uint32_t frameWait)
    : compositor(Seams().compositionLibrary), monitor(lensMonitor) {
    const int64_t now = SteadyMicroseconds();
    schedule.due = now;
    StartFrame(schedule, CurrentPace(*this, frameWait, now), now);
}

void AwaitFrame(FrameClock& clock, uint32_t frameWait) {
    const int64_t ended = SteadyMicroseconds();
    EndFrame(clock.schedule, CurrentPace(clock, frameWait, ended), ended);
    for (;;) {
        const int64_t now = SteadyMicroseconds();
        const FramePace pace = CurrentPace(clock, frameWait, now);
        const FrameStepChoice choice = NextFrameStep(clock.schedule, pace, now);
        if (choice.step == FrameStep::kSleep) {
            const FrameWaitEnd end = WaitBetweenFrames(MillisecondsUntil(choice.until, now));
            if (end == FrameWaitEnd::kClosed) {
                return;
            }
            if (end == FrameWaitEnd::kRedraw) {
                BringFrameForward(clock.schedule, pace, SteadyMicroseconds());
            }
            continue;
        }
        if (choice.step == FrameStep::kCompositorFrame && !clock.compositor.Await()) {
            clock.composited = false; // paced by the timer until the next reading
            continue;
        }
        // The thread's windows are served between any two frames, however late the frames run.
        if (WaitBetweenFrames(0) == FrameWaitEnd::kClosed) {
            return;
        }
        StartFrame(clock.schedule, pace, SteadyMicroseconds());
        return;
    }
}
