#include "dpi_awareness.h"

#include <cstdint>

#include "scoped_handles.h"

namespace {

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE.
const HANDLE kPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));
const HANDLE kPerMonitor = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-3));

} // namespace

PhysicalPixelsOnThisThread::PhysicalPixelsOnThisThread() {
    setContext_ = BindProc<SetThreadDpiAwarenessContextFn>(GetModuleHandleA("user32.dll"),
                                                           "SetThreadDpiAwarenessContext");
    if (setContext_ == nullptr) {
        return;
    }
    // Version 2 arrived with Windows 10 version 1703; the first version is refused by no system
    // that has the call.
    previous_ = setContext_(kPerMonitorV2);
    if (previous_ == nullptr) {
        previous_ = setContext_(kPerMonitor);
    }
}

PhysicalPixelsOnThisThread::~PhysicalPixelsOnThisThread() {
    if (previous_ != nullptr) {
        setContext_(previous_);
    }
}
