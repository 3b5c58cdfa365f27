#include "caret_rules.h"

#include <algorithm>

namespace {

// After user input the caret is looked at on every tick for this long.
constexpr uint32_t kAfterInputMs = 250;

uint32_t Milliseconds(int32_t sixtyFourThousandths, uint32_t fallback, uint32_t least,
                      uint32_t most) {
    if (sixtyFourThousandths <= 0) {
        return fallback;
    }
    const uint64_t ms = (static_cast<uint64_t>(sixtyFourThousandths) * 1000 + 32768) / 65536;
    return static_cast<uint32_t>(std::clamp<uint64_t>(ms, least, most));
}

} // namespace

CaretTiming TimingFromInitNumbers(int32_t pollPeriod, int32_t answerWait) {
    return CaretTiming{Milliseconds(pollPeriod, 150, 20, 1000),
                       Milliseconds(answerWait, 87, 10, 1000)};
}

CaretPoint FollowedCaretPoint(int32_t left, int32_t top, int32_t bottom) {
    return CaretPoint{left, bottom > top ? bottom - 1 : top};
}

bool TimeToLook(LookSchedule* schedule, uint32_t now, uint32_t lastInput,
                const CaretTiming& timing) {
    const bool newInput = lastInput != schedule->lastInput;
    schedule->lastInput = lastInput;
    return !schedule->looked || newInput || now - lastInput < kAfterInputMs ||
           now - schedule->lastLook >= timing.pollMs;
}

void LookedAt(LookSchedule* schedule, uint32_t now) {
    schedule->looked = true;
    schedule->lastLook = now;
}

int TakeCaretAnswer(CaretAnswers* answers, bool present, CaretPoint point) {
    const bool moved = answers->started && present && (!answers->had || point != answers->last);
    answers->started = true;
    answers->had = present;
    if (present) {
        answers->last = point;
    }
    return moved ? 1 : 0;
}
