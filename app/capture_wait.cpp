#include "capture_wait.h"

#include "settings_record.h"

namespace {

constexpr uint32_t kFirstWait = 10;
constexpr uint32_t kLastWait = 99;

} // namespace

CaptureOutcome AwaitCaptureAnswer(const uint32_t& captureRequest, uint32_t sound,
                                  void (*wait)(uint32_t milliseconds, void* context),
                                  void* context) {
    for (uint32_t step = kFirstWait; step <= kLastWait; ++step) {
        wait(step, context);
        if (LoadShared(captureRequest) == 0) {
            return CaptureOutcome{true, sound != 0};
        }
    }
    return CaptureOutcome{false, false};
}
