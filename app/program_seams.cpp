#include "program_seams.h"

namespace {

HRESULT SetHwndPropStr(IAccPropServices* services, HWND window, DWORD object, DWORD child,
                       MSAAPROPID property, LPCWSTR text) {
    return services->SetHwndPropStr(window, object, child, property, text);
}

ProgramSeams programSeams = {SetHwndPropStr};

} // namespace

ProgramSeams& Seams() {
    return programSeams;
}
