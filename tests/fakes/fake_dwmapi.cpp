// Stands in for the desktop window manager's library. The test program sets whether composition
// is on through the extra export FakeDwmSetComposition and reads it back with
// FakeDwmComposition; every switch is recorded, and every DwmFlush, which waits a 60 Hz frame.
#include "call_log.h"

namespace {

UINT g_enabled = 0;

} // namespace

FAKE_EXPORT void FakeDwmSetComposition(UINT enabled) {
    g_enabled = enabled;
}

FAKE_EXPORT UINT FakeDwmComposition() {
    return g_enabled;
}

#if !defined(OMIT_QUERY)
FAKE_EXPORT HRESULT WINAPI DwmIsCompositionEnabled(BOOL* enabled) {
    RecordCall("DwmIsCompositionEnabled");
    *enabled = g_enabled != 0 ? TRUE : FALSE;
    return S_OK;
}
#endif

#if !defined(OMIT_ENABLE)
FAKE_EXPORT HRESULT WINAPI DwmEnableComposition(UINT action) {
    RecordCall("DwmEnableComposition %u", action);
    g_enabled = action;
    return S_OK;
}
#endif

FAKE_EXPORT HRESULT WINAPI DwmFlush() {
    RecordCall("DwmFlush");
    Sleep(16);
    return g_enabled != 0 ? S_OK : static_cast<HRESULT>(0x80263001); // composition disabled
}
