#include "frame_schedule.h"

#include <algorithm>

namespace {

constexpr int64_t kMicrosecondsPerSecond = 1000000;

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
    // A frame may start up to half a refresh behind its beat and keep it: a timer wakes late on a
    // busy machine, and the compositor's frame nearest the beat can come that late. A frame
    // further behind, or after one that ran long, starts a beat of its own.
    const bool onBeat = !schedule.late && now - schedule.due < pace.refresh / 2;
    const int64_t beat = onBeat ? schedule.due : now;
    schedule.lastStart = now;
    schedule.due = beat + pace.spacing;
    schedule.late = false;
}

void EndFrame(FrameSchedule& schedule, const FramePace& pace, int64_t now) {
    // Where the compositor paces, the beat's nearest compositor frame may still be ahead.
    const int64_t lastChance = schedule.due + (pace.compositorFrames ? pace.refresh / 2 : 0);
    schedule.late = now >= lastChance;
}

void BringFrameForward(FrameSchedule& schedule, const FramePace& pace, int64_t now) {
    schedule.due = std::min(schedule.due, std::max(now, schedule.lastStart + pace.refresh));
}

FrameStepChoice NextFrameStep(const FrameSchedule& schedule, const FramePace& pace, int64_t now) {
    if (schedule.late) {
        return FrameStepChoice{FrameStep::kStart, now};
    }
    if (!pace.compositorFrames) {
        if (now >= schedule.due) {
            return FrameStepChoice{FrameStep::kStart, now};
        }
        return FrameStepChoice{FrameStep::kSleep, schedule.due};
    }
    // The compositor frame nearest the beat comes after half a refresh before it; once the
    // nearest has passed, the frame starts at once.
    const int64_t half = pace.refresh / 2;
    if (now >= schedule.due + half) {
        return FrameStepChoice{FrameStep::kStart, now};
    }
    if (now < schedule.due - half) {
        return FrameStepChoice{FrameStep::kSleep, schedule.due - half};
    }
    return FrameStepChoice{FrameStep::kCompositorFrame, now};
}
