#include "pinned_worker.h"

namespace {

void LetGo(PinnedWorker* worker) {
    if (InterlockedDecrement(&worker->holds) == 0) {
        delete worker;
    }
}

} // namespace

PinnedWorker::PinnedWorker() : wake(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    InitializeCriticalSection(&lock);
}

PinnedWorker::~PinnedWorker() {
    DeleteCriticalSection(&lock);
}

HMODULE PinThisLibrary() {
    HMODULE module = nullptr;
    const BOOL pinned = GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
        reinterpret_cast<LPCSTR>(reinterpret_cast<void*>(&PinThisLibrary)), &module);
    return pinned ? module : nullptr;
}

bool StartPinnedWorker(PinnedWorker* worker, LPTHREAD_START_ROUTINE work) {
    worker->pin = worker->wake ? PinThisLibrary() : nullptr;
    if (worker->pin == nullptr) {
        return false;
    }
    worker->thread = CreateThread(nullptr, 0, work, worker, 0, nullptr);
    if (worker->thread == nullptr) {
        FreeLibrary(worker->pin);
        return false;
    }
    return true;
}

void StopPinnedWorker(PinnedWorker* worker, DWORD milliseconds) {
    EnterCriticalSection(&worker->lock);
    worker->stopping = true;
    LeaveCriticalSection(&worker->lock);
    SetEvent(worker->wake.Get());
    LONG seen = InterlockedCompareExchange(&worker->progress, 0, 0);
    while (WaitForSingleObject(worker->thread, milliseconds) == WAIT_TIMEOUT) {
        const LONG now = InterlockedCompareExchange(&worker->progress, 0, 0);
        if (now == seen) {
            break;
        }
        seen = now;
    }
    CloseHandle(worker->thread);
    LetGo(worker);
}

void NoteProgress(PinnedWorker* worker) {
    InterlockedIncrement(&worker->progress);
}

bool WorkerStopping(PinnedWorker* worker) {
    EnterCriticalSection(&worker->lock);
    const bool stopping = worker->stopping;
    LeaveCriticalSection(&worker->lock);
    return stopping;
}

void LeaveWorker(PinnedWorker* worker) {
    const HMODULE pin = worker->pin;
    LetGo(worker);
    FreeLibraryAndExitThread(pin, 0);
}
