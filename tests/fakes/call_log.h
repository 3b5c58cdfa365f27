// The fakes of the optional libraries report every call, with its arguments, to the test program
// that loaded them, through that program's export VxRecordCall. Without it nothing is recorded.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdio>

inline void RecordCall(const char* format, ...) {
    typedef void (*RecordFn)(const char*);
    static const RecordFn record = reinterpret_cast<RecordFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), "VxRecordCall")));
    if (record == nullptr) {
        return;
    }
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    record(text);
}

#define FAKE_EXPORT extern "C" __declspec(dllexport)
