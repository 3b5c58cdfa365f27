// Switches desktop composition off for a run of the lens in which the hardware overlay could not
// be shown at once, and back on when the run ends, but only when it was on to begin with. Bound by
// name from dwmapi; on systems without it (or without either function) it does nothing.
#pragma once

#include <windows.h>

#include "scoped_handles.h"

class CompositionGuard {
public:
    // `dwmapi` names the library; tests name a stand-in.
    explicit CompositionGuard(const char* dwmapi = "dwmapi.dll");
    ~CompositionGuard();
    CompositionGuard(const CompositionGuard&) = delete;
    CompositionGuard& operator=(const CompositionGuard&) = delete;

    // Composition was on when the guard was made, and is switched back on at its end.
    bool WasEnabled() const { return wasEnabled_ != 0; }

private:
    typedef HRESULT(WINAPI* IsCompositionEnabledFn)(BOOL*);
    typedef HRESULT(WINAPI* EnableCompositionFn)(UINT);

    IsCompositionEnabledFn isCompositionEnabled_ = nullptr;
    EnableCompositionFn enableComposition_ = nullptr;
    BOOL wasEnabled_ = 0;
    UniqueModule dwmapi_;
};
