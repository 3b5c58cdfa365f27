// Stands in for the engine library inside the tray program: records each start with the sizes
// it was given, keeps a brightness, answers capture requests on demand and sends the codes the
// test asks for, counting the callbacks that have returned, all through the shared block of
// fake_engine_state.h.
#include "call_log.h"
#include "fake_engine_state.h"
#include "qxmagnifier.h"

namespace {

FakeEngineState* g_state = nullptr;
EngineParameters* g_params = nullptr;
EngineCallback g_callback = nullptr;
volatile LONG g_runCount = 0;

FakeEngineState* State() {
    if (g_state == nullptr) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, VX_FAKE_ENGINE_STATE);
        if (mapping == nullptr) {
            mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                         sizeof(FakeEngineState), VX_FAKE_ENGINE_STATE);
        }
        g_state = static_cast<FakeEngineState*>(
            MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(FakeEngineState)));
    }
    return g_state;
}

// Set in a callback thread's argument beside the code: the thread holds a reference to this
// library.
constexpr INT_PTR kHeld = 0x10000;

// Runs the callback and counts its return. The thread holds this library, which the program may
// free meanwhile, until it has left it (unless the test asked for callbacks that do not).
DWORD WINAPI Deliver(LPVOID argument) {
    const INT_PTR value = reinterpret_cast<INT_PTR>(argument);
    g_callback(reinterpret_cast<LPVOID>(value & ~kHeld));
    InterlockedIncrement(&State()->answered);
    if ((value & kHeld) == 0) {
        return 0;
    }
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&Deliver), &self);
    FreeLibraryAndExitThread(self, 0);
}

void Notify(int code) {
    HMODULE self = nullptr;
    if (State()->unheldCallbacks == 0) {
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<LPCSTR>(&Deliver), &self);
    }
    InterlockedIncrement(&State()->sent);
    const INT_PTR argument = static_cast<INT_PTR>(code) | (self != nullptr ? kHeld : 0);
    HANDLE thread =
        CreateThread(nullptr, 0, Deliver, reinterpret_cast<LPVOID>(argument), 0, nullptr);
    if (thread != nullptr) {
        CloseHandle(thread);
    } else {
        InterlockedDecrement(&State()->sent);
        if (self != nullptr) {
            FreeLibrary(self);
        }
    }
}

DWORD WINAPI FakeEngineThread(LPVOID) {
    FakeEngineState* state = State();
    Notify(kNotifyLensUp);
    while (g_runCount > 0) {
        Sleep(5);
        if (state->answerCapture != 0 && LoadShared(g_params->captureRequest) != 0) {
            StoreShared(g_params->captureRequest, 0);
        }
        const LONG code = InterlockedExchange(&state->pendingCode, -1);
        if (code >= 0) {
            Notify(code);
            if (code != kNotifyLensUp) {
                return 0; // the frame loop ended after a failure
            }
        }
    }
    Notify(kNotifyEnded);
    return 0;
}

} // namespace

FAKE_EXPORT HANDLE WINAPI qxCreateMagnifier(EngineParameters* params, EngineCallback callback) {
    FakeEngineState* state = State();
    g_params = params;
    g_callback = callback;
    StoreShared(params->captureRequest, 0);
    StoreShared(params->lockPosition, 0);
    const LONG index = InterlockedIncrement(&state->creates) - 1;
    if (index < kFakeEngineLogSize) {
        state->starts[index] = {params->lensWidth, params->lensHeight, params->sourceWidth,
                                params->sourceHeight};
    }
    state->paramsAddress = static_cast<LONG>(reinterpret_cast<INT_PTR>(params));
    if (state->failCreates != 0) {
        return nullptr;
    }
    const LONG open = InterlockedIncrement(&state->open);
    if (open > state->maxOpen) {
        state->maxOpen = open;
    }
    if (state->createDelayMs > 0) {
        Sleep(static_cast<DWORD>(state->createDelayMs));
    }
    while (state->holdCreates != 0) {
        Sleep(5);
    }
    InterlockedIncrement(&g_runCount);
    return CreateThread(nullptr, 0, FakeEngineThread, nullptr, 0, nullptr);
}

FAKE_EXPORT int WINAPI qxCloseMagnifier(HANDLE thread) {
    FakeEngineState* state = State();
    InterlockedIncrement(&state->closes);
    InterlockedExchange(&state->open, 0);
    InterlockedExchange(&g_runCount, 0);
    if (thread != nullptr) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    return 1;
}

FAKE_EXPORT int WINAPI qxSetBrightnessMagnifier(int direction, int amount) {
    FakeEngineState* state = State();
    if (direction == 0) {
        return state->brightness;
    }
    const LONG call = InterlockedIncrement(&state->brightnessCalls) - 1;
    if (call < kFakeEngineLogSize) {
        state->brightnessLog[call][0] = direction;
        state->brightnessLog[call][1] = amount;
    }
    LONG value = state->brightness + (direction > 0 ? amount : -amount);
    value = value < 900 ? 900 : (value > 10000 ? 10000 : value);
    state->brightness = value;
    return value;
}
