// The caret locator's rules: the numbers of its start, the point followed, when it looks at the
// caret, and when the caller is told the caret moved.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "caret_rules.h"

namespace {

TEST(CaretRules, StartNumbersAreSixtyFourThousandthsOfASecond) {
    const struct {
        int32_t poll, wait;
        uint32_t pollMs, waitMs;
    } cases[] = {
        {9830, 5734, 150, 87},      {6554, 3277, 100, 50}, {0, 0, 150, 87},
        {-1, INT_MIN, 150, 87},     {1, 1, 20, 10},        {INT_MAX, INT_MAX, 1000, 1000},
        {65536, 65536, 1000, 1000}, {1311, 655, 20, 10},   {1376, 721, 21, 11},
    };
    for (const auto& c : cases) {
        const CaretTiming timing = TimingFromInitNumbers(c.poll, c.wait);
        EXPECT_EQ(c.pollMs, timing.pollMs) << c.poll;
        EXPECT_EQ(c.waitMs, timing.answerWaitMs) << c.wait;
    }
}

TEST(CaretRules, TheFollowedPointIsTheCaretsBottomLeftPixel) {
    const struct {
        int32_t left, top, bottom;
        CaretPoint expected;
    } cases[] = {
        {10, 20, 35, {10, 34}},
        {10, 20, 20, {10, 20}},        // no height
        {-300, -50, -30, {-300, -31}}, // a monitor left of and above the main one
        {0, 0, 1, {0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, FollowedCaretPoint(c.left, c.top, c.bottom))
            << c.left << "," << c.top;
    }
}

struct Tick {
    uint32_t now;
    uint32_t lastInput;
    bool looks;
};

void ExpectLooks(const char* what, uint32_t start, const std::vector<Tick>& ticks) {
    const CaretTiming timing = TimingFromInitNumbers(9830, 5734);
    LookSchedule schedule;
    schedule.lastInput = start;
    for (const Tick& tick : ticks) {
        const bool looks = TimeToLook(&schedule, start + tick.now, start + tick.lastInput, timing);
        EXPECT_EQ(tick.looks, looks) << what << " at +" << tick.now;
        if (looks) {
            LookedAt(&schedule, start + tick.now);
        }
    }
}

TEST(CaretRules, LooksAtOnceAfterInputAndOtherwiseOncePerPollPeriod) {
    const std::vector<Tick> quiet = {
        {0, 0, true},    {16, 0, true},  {250, 0, true},  {266, 0, false},
        {399, 0, false}, {400, 0, true}, {416, 0, false}, {550, 0, true},
    };
    const std::vector<Tick> typing = {
        {1000, 0, true},    {1016, 0, false},    {1032, 1030, true},  {1048, 1030, true},
        {1279, 1030, true}, {1280, 1030, false}, {1296, 1030, false}, {1312, 1310, true},
    };
    for (uint32_t start : {0u, 0xFFFFFF00u}) {
        ExpectLooks("quiet", start, quiet);
        ExpectLooks("typing", start, typing);
    }
}

TEST(CaretRules, TheCallerIsToldOfEachMoveOnce) {
    struct Answer {
        bool present;
        CaretPoint point;
        int moved;
    };
    const struct {
        const char* what;
        std::vector<Answer> answers;
    } cases[] = {
        {"a resting caret never counts",
         {{true, {5, 5}, 0}, {true, {5, 5}, 0}, {true, {6, 5}, 1}, {true, {6, 5}, 0}}},
        {"a caret that goes and comes back",
         {{true, {5, 5}, 0}, {false, {0, 0}, 0}, {false, {0, 0}, 0}, {true, {5, 5}, 1}}},
        {"no caret at the start, then one appears",
         {{false, {0, 0}, 0}, {true, {1, 1}, 1}, {true, {1, 1}, 0}}},
        {"every step of typing", {{true, {5, 5}, 0}, {true, {12, 5}, 1}, {true, {19, 5}, 1}}},
    };
    for (const auto& c : cases) {
        CaretAnswers answers;
        int step = 0;
        for (const Answer& a : c.answers) {
            EXPECT_EQ(a.moved, TakeCaretAnswer(&answers, a.present, a.point))
                << c.what << ", step " << step++;
        }
    }
}

} // namespace
