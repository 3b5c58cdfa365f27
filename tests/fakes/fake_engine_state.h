// What the fake engine library (bin/fakes/engine/qxmagnifier.dll) shares with the test that
// drives the program around it: a block of named shared memory that the test creates before it
// starts the program and reads and steers while the program runs.
#pragma once

#include <windows.h>

#include <cstdint>

#define VX_FAKE_ENGINE_STATE "VxFakeEngineState"

constexpr int kFakeEngineLogSize = 64;

// The lens and source sizes in the record at one qxCreateMagnifier.
struct FakeEngineStart {
    uint32_t lensWidth;
    uint32_t lensHeight;
    uint32_t sourceWidth;
    uint32_t sourceHeight;
};

struct FakeEngineState {
    volatile LONG creates;       // qxCreateMagnifier calls
    volatile LONG closes;        // qxCloseMagnifier calls
    volatile LONG open;          // creates since the last close: engines running side by side
    volatile LONG maxOpen;       // the most that ever ran side by side
    volatile LONG paramsAddress; // the EngineParameters address of the last create
    FakeEngineStart starts[kFakeEngineLogSize];
    volatile LONG brightness;      // the value qxSetBrightnessMagnifier keeps
    volatile LONG brightnessCalls; // calls with a nonzero direction
    LONG brightnessLog[kFakeEngineLogSize][2];
    volatile LONG answerCapture;   // nonzero: the engine thread clears captureRequest
    volatile LONG pendingCode;     // -1, or a code the engine thread sends next (0, 2, 3 end it)
    volatile LONG createDelayMs;   // qxCreateMagnifier takes this long
    volatile LONG failCreates;     // nonzero: qxCreateMagnifier records the start and returns 0
    volatile LONG holdCreates;     // nonzero: qxCreateMagnifier waits until it is cleared
    volatile LONG sent;            // notifications sent
    volatile LONG answered;        // notifications whose callback has returned
    volatile LONG unheldCallbacks; // nonzero: callbacks run without a reference to the library
};
