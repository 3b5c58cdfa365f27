#include "dpi_awareness.h"

#include "dpi_awareness_contexts.h"
#include "scoped_handles.h"

PhysicalPixelsOnThisThread::PhysicalPixelsOnThisThread() {
    setContext_ = BindProc<SetThreadDpiAwarenessContextFn>(GetModuleHandleA("user32.dll"),
                                                           "SetThreadDpiAwarenessContext");
    if (setContext_ == nullptr) {
        return;
    }
    // Version 2 arrived with Windows 10 version 1703; the first version is refused by no system
    // that has the call.
    previous_ = setContext_(kDpiContextPerMonitorV2);
    if (previous_ == nullptr) {
        previous_ = setContext_(kDpiContextPerMonitor);
    }
}

PhysicalPixelsOnThisThread::~PhysicalPixelsOnThisThread() {
    if (previous_ != nullptr) {
        setContext_(previous_);
    }
}
