#include "frame_schedule.h"

#include <gtest/gtest.h>

namespace {

struct PaceCase {
    uint32_t waitMs;
    uint32_t refreshHz; // as the monitor reports it
    bool compositor;
    int64_t workUs;     // what each frame costs
    int expectedFrames; // frame starts within the window
};

// A second, short of the last millisecond, so a refresh of 16666 us is not counted 61 times.
constexpr int64_t kWindowUs = 999000;

// Runs the clock over the window from a first frame at 0: timer waits wake 1 ms late, and the
// compositor's frames come at every refresh.
int FramesInTheWindow(const PaceCase& c) {
    const FramePace pace = PaceFor(c.waitMs, c.refreshHz, c.compositor);
    FrameSchedule schedule;
    StartFrame(schedule, pace, 0);
    int frames = 1;
    int64_t now = c.workUs;
    for (;;) {
        const FrameStepChoice choice = NextFrameStep(schedule, pace, now);
        if (choice.step == FrameStep::kSleep) {
            EXPECT_GT(choice.until, now);
            now = choice.until + 1000;
            continue;
        }
        if (choice.step == FrameStep::kCompositorFrame) {
            now = (now / pace.refresh + 1) * pace.refresh;
        }
        if (now >= kWindowUs) {
            return frames;
        }
        StartFrame(schedule, pace, now);
        ++frames;
        now += c.workUs;
    }
}

// Never more frames than the monitor shows, a frame wait as the time between frame starts, the
// hardware's default rate read as 60 Hz, and late frames that start the next at once without
// crowding frames in to catch up.
TEST(FrameSchedule, FramesKeepToTheRefreshAndTheWaitWithoutCatchingUp) {
    const PaceCase cases[] = {
        {0, 60, false, 2000, 60},   {0, 0, false, 2000, 60},    {0, 1, false, 2000, 60},
        {0, 144, false, 2000, 144}, {5, 60, false, 2000, 60},   {20, 60, false, 2000, 50},
        {20, 60, false, 15000, 50}, {100, 75, false, 2000, 10}, {0, 60, false, 25000, 40},
        {20, 60, false, 30000, 34}, {0, 60, true, 2000, 60},    {20, 60, true, 2000, 50},
        {0, 60, true, 25000, 40},   {40, 60, true, 2000, 25},
    };
    for (const PaceCase& c : cases) {
        EXPECT_EQ(c.expectedFrames, FramesInTheWindow(c))
            << "wait " << c.waitMs << " refresh " << c.refreshHz << " compositor " << c.compositor
            << " work " << c.workUs;
    }
    EXPECT_EQ(kFastestRefreshHz, UsableRefreshHz(5000)) << "an implausible rate is capped";
}

// A redraw brings the next frame to at once, but never to within one refresh of the last start,
// and never later than it was due.
TEST(FrameSchedule, RedrawBringsTheNextFrameForward) {
    const FramePace pace = PaceFor(60000, 60, false);
    FrameSchedule schedule;
    StartFrame(schedule, pace, 0);
    EXPECT_EQ(60000000, schedule.due);
    BringFrameForward(schedule, pace, 5000);
    EXPECT_EQ(pace.refresh, schedule.due);
    StartFrame(schedule, pace, 1000000);
    BringFrameForward(schedule, pace, 3000000);
    EXPECT_EQ(3000000, schedule.due);
    EXPECT_EQ(FrameStep::kStart, NextFrameStep(schedule, pace, 3000000).step);
}

} // namespace
