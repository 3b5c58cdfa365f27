// Failure reports of the engine, handed to the optional library "qxsender.dll" while it is bound.
#pragma once

#include <windows.h>

#include "qxsender.h"

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
    HMODULE module_ = nullptr;
    QxInitSenderFn init_ = nullptr;
    QxDestroySenderFn destroy_ = nullptr;
    QxRecordErrorFn record_ = nullptr;
    SenderInfo info_ = {};
};

// The engine's one reporter.
void StartErrorReporter();
int ReportError(const char* text, int code, const char* source);
void StopErrorReporter();
