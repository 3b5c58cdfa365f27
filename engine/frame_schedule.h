// When the lens's frames start. Frames keep to a steady beat: one refresh of the monitor under
// the lens, or `frameWait` milliseconds between frame starts when that is longer, so the lens
// never draws more frames than the monitor shows. Where desktop composition is on, a frame
// starts at the compositor's frame nearest to its beat. A frame that ran past the next beat
// starts the next one at once, and the beat moves with it instead of crowding frames in to catch
// up. A redraw (a new brightness, new options) brings the next frame forward to at once, but
// never to within one refresh of the last start. Times are microseconds of a steady clock. No
// Windows headers.
#pragma once

#include <cstdint>

// The rate taken when the monitor reports 0 or 1, which stand for the hardware's default.
constexpr uint32_t kDefaultRefreshHz = 60;
// Faster rates than this are taken as this one.
constexpr uint32_t kFastestRefreshHz = 1000;

// The refresh rate to pace by for the rate a monitor reports.
uint32_t UsableRefreshHz(uint32_t reportedHz);

// How frames are paced during a stretch of the run.
struct FramePace {
    int64_t spacing;       // between frame starts: the longer of frameWait and one refresh
    int64_t refresh;       // one refresh of the monitor
    bool compositorFrames; // frames start at the compositor's frames, not at a timer
};

FramePace PaceFor(uint32_t frameWaitMs, uint32_t refreshHz, bool compositorFrames);

struct FrameSchedule {
    int64_t due = 0;       // when the next frame should start
    int64_t lastStart = 0; // when the last frame started
    bool late = false;     // the last frame ran past the next beat
};

// A frame starts at `now`: the next one is due one spacing after this frame's beat.
void StartFrame(FrameSchedule& schedule, const FramePace& pace, int64_t now);

// A frame's work has ended at `now`. When it ran past the next beat, the next frame starts at
// once, on a beat of its own.
void EndFrame(FrameSchedule& schedule, const FramePace& pace, int64_t now);

// A redraw is asked for at `now`.
void BringFrameForward(FrameSchedule& schedule, const FramePace& pace, int64_t now);

// What the frame loop does next while it waits for a frame.
enum class FrameStep {
    kStart,           // start the frame now
    kSleep,           // wait by the timer until `until`
    kCompositorFrame, // wait for the compositor's next frame, then start
};

struct FrameStepChoice {
    FrameStep step;
    int64_t until; // for kSleep
};

FrameStepChoice NextFrameStep(const FrameSchedule& schedule, const FramePace& pace, int64_t now);
