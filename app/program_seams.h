// The system entry points the program reaches through a seam, so that a test can see what the
// program hands them where the platform under test cannot show it. Each field defaults to the
// system's; a test replaces one for a scope with a SeamSwap (seam_swap.h).
#pragma once

#include <windows.h>

#include <oleacc.h>

struct ProgramSeams {
    // IAccPropServices::SetHwndPropStr: a property of an accessible object, such as the name a
    // screen reader gives a control.
    HRESULT(*setHwndPropStr)
    (IAccPropServices* services, HWND window, DWORD object, DWORD child, MSAAPROPID property,
     LPCWSTR text);
};

// The program's one ProgramSeams.
ProgramSeams& Seams();
