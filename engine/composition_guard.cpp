#include "composition_guard.h"

namespace {

constexpr UINT kCompositionOff = 0; // DWM_EC_DISABLECOMPOSITION
constexpr UINT kCompositionOn = 1;  // DWM_EC_ENABLECOMPOSITION

} // namespace

CompositionGuard::CompositionGuard(const char* dwmapi) {
    dwmapi_.Reset(LoadLibraryExA(dwmapi, nullptr, 0));
    isCompositionEnabled_ =
        BindProc<IsCompositionEnabledFn>(dwmapi_.Get(), "DwmIsCompositionEnabled");
    enableComposition_ = BindProc<EnableCompositionFn>(dwmapi_.Get(), "DwmEnableComposition");
    if (isCompositionEnabled_ == nullptr || enableComposition_ == nullptr) {
        dwmapi_.Reset();
        return;
    }
    BOOL enabled = FALSE;
    if (SUCCEEDED(isCompositionEnabled_(&enabled)) && enabled) {
        wasEnabled_ = 1;
        enableComposition_(kCompositionOff);
    }
}

CompositionGuard::~CompositionGuard() {
    if (dwmapi_ && wasEnabled_ != 0) {
        enableComposition_(kCompositionOn);
    }
}
