#include "frame_schedule.h"

#include <gtest/gtest.h>

namespace {

struct PaceCase {
    uint32_t waitMs;
    uint32_t refreshHz; // as the monitor reports it
    bool compositor;
    int64_t workUs; // what each frame costs
    int frames;     // frame starts expected in the first 999 ms (a refresh of 16666 us fits 60)
    int64_t firstWorkUs = 0; // what the first frame costs, when not the same
};

// Runs the clock from a first frame at 0: timer waits wake 1 ms late, and the compositor's
// frames come at every refresh.
int FramesIn999Ms(const PaceCase& c) {
    const FramePace pace = PaceFor(c.waitMs, c.refreshHz, c.compositor);
    FrameSchedule schedule;
    int frames = 0;
    for (int64_t now = 0; now < 999000; ++frames) {
        StartFrame(schedule, pace, now);
        now += frames == 0 && c.firstWorkUs != 0 ? c.firstWorkUs : c.workUs;
        EndFrame(schedule, pace, now);
        FrameStepChoice next = NextFrameStep(schedule, pace, now);
        for (; next.step == FrameStep::kSleep; next = NextFrameStep(schedule, pace, now)) {
            now = next.until + 1000;
        }
        if (next.step == FrameStep::kCompositorFrame) {
            now = (now / pace.refresh + 1) * pace.refresh;
        }
    }
    return frames;
}

// Never more frames than the monitor shows, a frame wait as the time between frame starts, the
// hardware's default rate read as 60 Hz, an implausible rate capped, late frames that start the
// next at once without crowding frames in to catch up, and a redraw that comes at once but not
// within a refresh of the last frame.
TEST(FrameSchedule, FramesKeepToTheRefreshAndTheWaitWithoutCatchingUp) {
    const PaceCase cases[] = {
        {0, 60, false, 2000, 60},         {0, 0, false, 2000, 60},
        {0, 1, false, 2000, 60},          {0, 144, false, 2000, 144},
        {5, 60, false, 2000, 60},         {20, 60, false, 2000, 50},
        {20, 60, false, 15000, 50},       {100, 75, false, 2000, 10},
        {0, 60, false, 25000, 40},        {20, 60, false, 30000, 34},
        {0, 60, true, 2000, 60},          {20, 60, true, 2000, 50},
        {0, 60, true, 25000, 40},         {40, 60, true, 2000, 25},
        {0, 60, false, 2000, 55, 100000}, {0, 60, true, 2000, 55, 100000},
    };
    for (const PaceCase& c : cases) {
        EXPECT_EQ(c.frames, FramesIn999Ms(c))
            << "wait " << c.waitMs << " refresh " << c.refreshHz << " compositor " << c.compositor
            << " work " << c.workUs;
    }
    EXPECT_EQ(kFastestRefreshHz, UsableRefreshHz(5000));
    FrameSchedule redrawn{60000000, 0, false};
    BringFrameForward(redrawn, PaceFor(60000, 60, false), 5000);
    EXPECT_EQ(16666, redrawn.due);
}

} // namespace
