// A worker thread of a companion library that keeps the library loaded while it runs. Whoever
// stops it waits only so long: a worker caught in a slow call (a hung program, a stalled disk)
// finishes later on its own, frees its state and only then lets the library go.
#pragma once

#include <windows.h>

#include "scoped_handles.h"

// The part every worker shares; a worker's own state derives from it. Held twice, by whoever
// started it and by its thread: the last to let go deletes it.
struct PinnedWorker {
    PinnedWorker();
    virtual ~PinnedWorker();
    PinnedWorker(const PinnedWorker&) = delete;
    PinnedWorker& operator=(const PinnedWorker&) = delete;

    CRITICAL_SECTION lock;
    bool stopping = false; // under `lock`
    UniqueHandle wake;     // set when there is work or the worker is to stop
    HANDLE thread = nullptr;
    HMODULE pin = nullptr; // the thread's reference to the library
    volatile LONG holds = 2;
    volatile LONG progress = 0; // steps of work done, for whoever waits for the worker to end
};

// Starts `work` on a thread of its own, with the worker as its argument. `work` ends with
// LeaveWorker. False when the thread cannot start; the worker is then the caller's alone.
bool StartPinnedWorker(PinnedWorker* worker, LPTHREAD_START_ROUTINE work);

// Tells the worker to stop, waits for its thread while it makes progress and lets go of it. The
// wait ends as soon as `milliseconds` pass without a step of work (NoteProgress), so a worker
// that notes none is waited for at most that long. The caller must not touch the worker afterwards.
void StopPinnedWorker(PinnedWorker* worker, DWORD milliseconds);

// Called by the worker's thread after each step of work.
void NoteProgress(PinnedWorker* worker);

// True once the worker has been told to stop.
bool WorkerStopping(PinnedWorker* worker);

// The thread's last word: lets go of the worker and of the library, and ends the thread.
[[noreturn]] void LeaveWorker(PinnedWorker* worker);

// One more reference to the library this code belongs to, for a thread to keep it loaded.
HMODULE PinThisLibrary();
