// The caret locator's rules that need no Windows: the point followed for a caret, when the
// caret is looked at, and when the caller is told that it moved.
#pragma once

#include <cstdint>

struct CaretPoint {
    int32_t x;
    int32_t y;
    bool operator==(const CaretPoint& other) const { return x == other.x && y == other.y; }
    bool operator!=(const CaretPoint& other) const { return !(*this == other); }
};

// The two numbers of the start, in 1/65536 s, as milliseconds.
struct CaretTiming {
    uint32_t pollMs;       // how often the caret is looked at when nothing happened
    uint32_t answerWaitMs; // the longest wait for another program's answer
};

// Each number rounded to whole milliseconds and brought into range: the poll period between
// 20 ms and 1 s (150 ms for zero or less), the answer wait between 10 ms and 1 s (87 ms for zero
// or less).
CaretTiming TimingFromInitNumbers(int32_t pollPeriod, int32_t answerWait);

// The point followed for a caret whose rectangle in screen coordinates has these left, top and
// bottom sides (the bottom outside): its bottom-left pixel, so that the line being typed stays
// in view. A caret without height gives its top-left corner.
CaretPoint FollowedCaretPoint(int32_t left, int32_t top, int32_t bottom);

// When the caret is looked at between events: at once after user input (and for a short while
// after it, while the program that got the input moves its caret), else once per poll period.
struct LookSchedule {
    bool looked = false;
    uint32_t lastLook = 0;  // tick count of the last look
    uint32_t lastInput = 0; // the system's last-input tick count, as last seen
};

// Whether to look now. `now` and `lastInput` are tick counts in milliseconds, which wrap.
bool TimeToLook(LookSchedule* schedule, uint32_t now, uint32_t lastInput,
                const CaretTiming& timing);

// Records that a look happened at `now`.
void LookedAt(LookSchedule* schedule, uint32_t now);

// What the caller has been told. The first answer is where the caret stood when following
// began; from then on each change (a move, or a caret appearing) is reported once.
struct CaretAnswers {
    bool started = false;
    bool had = false; // a caret was there at the last answer
    CaretPoint last = {0, 0};
};

// The flag for the caller: 1 when the caret (present now, at `point`) moved or appeared since
// the last answer.
int TakeCaretAnswer(CaretAnswers* answers, bool present, CaretPoint point);
