#include "run_control.h"

#include <algorithm>
#include <vector>

#include "scoped_handles.h"

namespace {

volatile LONG g_RunCount = 0;

// Manual-reset: raised by a close, lowered by the next start.
UniqueHandle g_CloseSignal(CreateEventA(nullptr, TRUE, FALSE, nullptr));
// Auto-reset: raised when the lens should show a change; taken by the wait between frames it ends.
UniqueHandle g_RedrawSignal(CreateEventA(nullptr, FALSE, FALSE, nullptr));

SectionLock g_RunTurn;

// The magnifier threads begun and not yet waited for.
class KeptThreads {
public:
    KeptThreads() = default;
    ~KeptThreads() {
        for (HANDLE thread : threads_) {
            CloseHandle(thread);
        }
    }
    KeptThreads(const KeptThreads&) = delete;
    KeptThreads& operator=(const KeptThreads&) = delete;

    void Keep(HANDLE thread) {
        HANDLE kept = nullptr;
        if (!DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &kept, SYNCHRONIZE,
                             FALSE, 0)) {
            return;
        }
        std::lock_guard<SectionLock> hold(lock_);
        LetGoOfEnded();
        threads_.push_back(kept);
    }

    void WaitForAll() {
        std::vector<HANDLE> threads;
        {
            std::lock_guard<SectionLock> hold(lock_);
            threads.swap(threads_);
        }
        for (HANDLE thread : threads) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
    }

private:
    void LetGoOfEnded() {
        size_t running = 0;
        for (HANDLE thread : threads_) {
            if (WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) {
                CloseHandle(thread);
            } else {
                threads_[running++] = thread;
            }
        }
        threads_.resize(running);
    }

    SectionLock lock_;
    std::vector<HANDLE> threads_;
};

KeptThreads g_KeptThreads;

} // namespace

SectionLock::SectionLock() {
    InitializeCriticalSection(&section_);
}

SectionLock::~SectionLock() {
    DeleteCriticalSection(&section_);
}

void SectionLock::lock() {
    EnterCriticalSection(&section_);
}

bool SectionLock::try_lock() {
    return TryEnterCriticalSection(&section_) != 0;
}

void SectionLock::unlock() {
    LeaveCriticalSection(&section_);
}

SectionLock& RunTurn() {
    return g_RunTurn;
}

void KeepThread(HANDLE thread) {
    g_KeptThreads.Keep(thread);
}

void WaitForKeptThreads() {
    g_KeptThreads.WaitForAll();
}

void BeginRun() {
    InterlockedIncrement(&g_RunCount);
    ResetEvent(g_CloseSignal.Get());
    ResetEvent(g_RedrawSignal.Get());
}

void UndoBeginRun() {
    InterlockedDecrement(&g_RunCount);
}

void DrainRuns() {
    while (g_RunCount > 0) {
        InterlockedDecrement(&g_RunCount);
    }
    SetEvent(g_CloseSignal.Get());
}

bool RunsRemain() {
    return g_RunCount != 0;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

namespace {

constexpr uint32_t kStepWithoutSignals = 50;

// Waits `milliseconds` for the close signal; messages are handled as they come.
void Pause(uint32_t milliseconds) {
    if (!g_CloseSignal) {
        // Without the signal, pause in short steps so that a close is still seen soon.
        while (milliseconds > 0 && RunsRemain()) {
            const uint32_t step = std::min(milliseconds, kStepWithoutSignals);
            Sleep(step);
            milliseconds -= step;
        }
        PumpMessages();
        return;
    }
    const DWORD start = GetTickCount();
    DWORD remaining = milliseconds;
    const HANDLE close = g_CloseSignal.Get();
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &close, FALSE, remaining, QS_ALLINPUT);
        PumpMessages();
        if (woken != WAIT_OBJECT_0 + 1) {
            return; // closed, timed out, or the wait failed
        }
        if (milliseconds != INFINITE) {
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= milliseconds) {
                return;
            }
            remaining = milliseconds - elapsed;
        }
    }
}

} // namespace

FrameWaitEnd WaitBetweenFrames(uint32_t milliseconds) {
    if (milliseconds == 0) {
        PumpMessages();
        return RunsRemain() ? FrameWaitEnd::kElapsed : FrameWaitEnd::kClosed;
    }
    if (!g_CloseSignal || !g_RedrawSignal) {
        Sleep(std::min(milliseconds, kStepWithoutSignals));
        PumpMessages();
        return RunsRemain() ? FrameWaitEnd::kElapsed : FrameWaitEnd::kClosed;
    }
    const HANDLE signals[2] = {g_CloseSignal.Get(), g_RedrawSignal.Get()};
    const DWORD woken = MsgWaitForMultipleObjects(2, signals, FALSE, milliseconds, QS_ALLINPUT);
    PumpMessages();
    if (woken == WAIT_OBJECT_0 || !RunsRemain()) {
        return FrameWaitEnd::kClosed;
    }
    return woken == WAIT_OBJECT_0 + 1 ? FrameWaitEnd::kRedraw : FrameWaitEnd::kElapsed;
}

void RedrawSoon() {
    SetEvent(g_RedrawSignal.Get());
}

bool PauseUnlessClosed(uint32_t milliseconds) {
    Pause(milliseconds);
    return RunsRemain();
}
