#include "frame_schedule.h"

#include <algorithm>

namespace {

constexpr int64_t kMicrosecondsPerSecond = 1000000;

// How far a frame may start behind its beat and still keep it: a timer wakes a little late, and
// a compositor frame can lie half a refresh on either side of the beat. A frame further behind
// moves the beat.
int64_t BeatSlack(const FramePace& pace) {
    return pace.compositorFrames ? pace.refresh / 2 : pace.refresh / 4;
}

} // namespace

uint32_t UsableRefreshHz(uint32_t reportedHz) {
    if (reportedHz <= 1) {
        return kDefaultRefreshHz;
    }
    return std::min(reportedHz, kFastestRefreshHz);
}

FramePace PaceFor(uint32_t frameWaitMs, uint32_t refreshHz, bool compositorFrames) {
    const int64_t refresh = kMicrosecondsPerSecond / UsableRefreshHz(refreshHz);
    const int64_t wait = static_cast<int64_t>(frameWaitMs) * 1000;
    return FramePace{std::max(wait, refresh), refresh, compositorFrames};
}

void StartFrame(FrameSchedule& schedule, const FramePace& pace, int64_t now) {
    const int64_t beat = std::max(schedule.due, now - BeatSlack(pace));
    schedule.lastStart = now;
    schedule.due = beat + pace.spacing;
}

void BringFrameForward(FrameSchedule& schedule, const FramePace& pace, int64_t now) {
    schedule.due = std::min(schedule.due, std::max(now, schedule.lastStart + pace.refresh));
}

FrameStepChoice NextFrameStep(const FrameSchedule& schedule, const FramePace& pace, int64_t now) {
    if (!pace.compositorFrames) {
        if (now >= schedule.due) {
            return FrameStepChoice{FrameStep::kStart, now};
        }
        return FrameStepChoice{FrameStep::kSleep, schedule.due};
    }
    // The compositor frame nearest the beat comes after half a refresh before it; once the
    // nearest has passed, the frame is late and starts at once.
    const int64_t half = pace.refresh / 2;
    if (now > schedule.due + half) {
        return FrameStepChoice{FrameStep::kStart, now};
    }
    if (now < schedule.due - half) {
        return FrameStepChoice{FrameStep::kSleep, schedule.due - half};
    }
    return FrameStepChoice{FrameStep::kCompositorFrame, now};
}
