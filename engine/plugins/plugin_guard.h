// Calls into plug-in code that survive the plug-in's own faults. A call runs inside an exception
// frame of ours; an exception the plug-in does not handle itself (an access violation, a stack
// overflow, an exception raised and not caught) ends the call there instead of the process, and
// the caller learns what happened. No code of the plug-in runs after its fault: its own unwind
// handlers are skipped, since its state can no longer be trusted.
#pragma once

#include <windows.h>

#include <cstdint>

struct PluginFault {
    DWORD code = 0;          // the exception code, e.g. EXCEPTION_ACCESS_VIOLATION
    void* address = nullptr; // where it was raised
};

// Calls the WINAPI function `function` with `count` 32-bit arguments, the first
// argument first. Returns 1 with the function's result in `*result` when it returned, or 0 with
// `*fault` filled when an exception left it unhandled. The caller's stack, registers and
// floating-point state are the same either way, also when the function cleans up its arguments
// wrongly.
int CallGuarded(FARPROC function, const uint32_t* arguments, uint32_t count, int32_t* result,
                PluginFault* fault);
