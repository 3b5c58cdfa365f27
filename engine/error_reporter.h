// Failure reports of the engine, handed to the optional library "qxsender.dll" while it is bound.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The 36-byte block that describes the engine to the reporter library.
struct SenderInfo {
    uint32_t size;
    uint32_t reserved[3];
    const char* title;
    const char* supportAddress;
    uint32_t limit;
    const char* errorLabel;
    const char* sourceLabel;
};
static_assert(sizeof(void*) != 4 || sizeof(SenderInfo) == 36, "the block is 36 bytes");
static_assert(sizeof(void*) != 4 || offsetof(SenderInfo, title) == 16, "layout");
static_assert(sizeof(void*) != 4 || offsetof(SenderInfo, limit) == 24, "layout");
static_assert(sizeof(void*) != 4 || offsetof(SenderInfo, sourceLabel) == 32, "layout");

class ErrorReporter {
public:
    ErrorReporter() = default;
    ~ErrorReporter() { Stop(); }
    ErrorReporter(const ErrorReporter&) = delete;
    ErrorReporter& operator=(const ErrorReporter&) = delete;

    // Binds "qxsender.dll" when all four entry points are there, and introduces the engine.
    void Start();
    // Hands one failure to the library; 0 when unbound.
    int Report(const char* text, int code, const char* source);
    // Says goodbye to the library and frees it.
    void Stop();

private:
    typedef int(WINAPI* InitFn)(SenderInfo*);
    typedef int(WINAPI* DestroyFn)();
    typedef int(WINAPI* RecordFn)(const char*, int, const char*);

    HMODULE module_ = nullptr;
    InitFn init_ = nullptr;
    DestroyFn destroy_ = nullptr;
    RecordFn record_ = nullptr;
    SenderInfo info_ = {};
};

// The engine's one reporter.
void StartErrorReporter();
int ReportError(const char* text, int code, const char* source);
void StopErrorReporter();
