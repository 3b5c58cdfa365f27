// The main program's side of a clipboard capture: after raising the request it waits in growing
// steps for the engine to clear it. No Windows headers; the wait is passed in.
#pragma once

#include <cstdint>

struct CaptureOutcome {
    bool answered;  // the engine cleared the request within the waits
    bool playSound; // answered and the sound is on
};

// Waits 10, 11, ..., 99 milliseconds in turn through `wait` and looks at the request after each
// wait; stops as soon as it reads 0. Without an answer the waits add up to 4905 ms and the
// request is left as it is.
CaptureOutcome AwaitCaptureAnswer(const uint32_t& captureRequest, uint32_t sound,
                                  void (*wait)(uint32_t milliseconds, void* context),
                                  void* context);
