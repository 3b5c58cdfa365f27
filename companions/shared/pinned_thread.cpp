#include "pinned_thread.h"

#include <new>

namespace {

struct PinnedStart {
    LPTHREAD_START_ROUTINE work;
    void* argument;
    HMODULE pin;
};

// Takes one more reference to the library this code belongs to.
HMODULE PinThisModule() {
    HMODULE module = nullptr;
    const BOOL pinned = GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
        reinterpret_cast<LPCSTR>(reinterpret_cast<void*>(&PinThisModule)), &module);
    return pinned ? module : nullptr;
}

DWORD WINAPI RunPinned(LPVOID parameter) {
    PinnedStart start = *static_cast<PinnedStart*>(parameter);
    delete static_cast<PinnedStart*>(parameter);
    const DWORD result = start.work(start.argument);
    FreeLibraryAndExitThread(start.pin, result);
}

} // namespace

HANDLE StartPinnedThread(LPTHREAD_START_ROUTINE work, void* argument) {
    const HMODULE pin = PinThisModule();
    if (pin == nullptr) {
        return nullptr;
    }
    PinnedStart* start = new (std::nothrow) PinnedStart{work, argument, pin};
    HANDLE thread =
        start != nullptr ? CreateThread(nullptr, 0, RunPinned, start, 0, nullptr) : nullptr;
    if (thread == nullptr) {
        delete start;
        FreeLibrary(pin);
    }
    return thread;
}

bool AwaitPinnedThread(HANDLE thread, DWORD milliseconds) {
    if (thread == nullptr) {
        return true;
    }
    const bool ended = WaitForSingleObject(thread, milliseconds) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}
