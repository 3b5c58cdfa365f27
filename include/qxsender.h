// The error log library "qxsender.dll": the engine describes itself once with a 36-byte block,
// then hands over one report per failure. Bound by name; every entry point is __stdcall and
// exported under its plain name.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The block that describes the reporting module to the library. The caller keeps it and the
// texts it points to alive until qxDestroySender; the library copies what it keeps.
struct SenderInfo {
    uint32_t size;        // 36
    uint32_t reserved[3]; // 0
    const char* title;    // starts every log line, e.g. "qxmagnifier[2001-0912] - ERROR"
    const char* supportAddress;
    // The most lines the log keeps: when a report would go beyond it, the older half of the log
    // is dropped first. 0 chooses the library's default (1500).
    uint32_t limit;
    const char* errorLabel;  // put before the report's text, e.g. "ERROR:"
    const char* sourceLabel; // put before the report's source, e.g. "Source:"
};
static_assert(sizeof(void*) != 4 || sizeof(SenderInfo) == 36, "the block is 36 bytes");
static_assert(offsetof(SenderInfo, reserved) == 4, "layout");
static_assert(sizeof(void*) != 4 || offsetof(SenderInfo, title) == 16, "layout");
static_assert(sizeof(void*) != 4 || offsetof(SenderInfo, supportAddress) == 20, "layout");
static_assert(sizeof(void*) != 4 || offsetof(SenderInfo, limit) == 24, "layout");
static_assert(sizeof(void*) != 4 || offsetof(SenderInfo, errorLabel) == 28, "layout");
static_assert(sizeof(void*) != 4 || offsetof(SenderInfo, sourceLabel) == 32, "layout");

#define QX_SENDER_LIBRARY "qxsender.dll"
// The log, in the application-data folder (%APPDATA%\Drelmont\Vexlume).
#define QX_SENDER_LOG_NAME "errors.log"

extern "C" {
// Starts the log for the module the block describes. Returns 1, or 0 when no log can be kept
// (then every report is refused).
int WINAPI qxInitSender(SenderInfo* info);
// Writes what is still queued (waiting a moment at most) and ends the log. Returns 1.
int WINAPI qxDestroySender();
// Queues one report for the log: the failure's text, its code (a result code, a last-error value
// or a number of the caller's own) and where it arose. Returns 1 when the report was taken, 0
// when it was refused (no log started, or too many reports waiting). It never waits for the
// disk: a log that cannot be written loses the report without telling the caller.
int WINAPI qxRecordError(const char* text, int code, const char* source);
// The Direct3D version the system offers: 9, 8, 7 (DirectDraw 7 only) or 0.
int WINAPI qxGetDXVersion();
}

typedef int(WINAPI* QxInitSenderFn)(SenderInfo*);
typedef int(WINAPI* QxDestroySenderFn)();
typedef int(WINAPI* QxRecordErrorFn)(const char*, int, const char*);
typedef int(WINAPI* QxGetDXVersionFn)();
