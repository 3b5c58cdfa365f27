// The log of one started sender: reports wait in a short queue and a thread of the library's
// own describes their codes and writes them, so that a report never waits for the disk.
#pragma once

#include <windows.h>

#include <string>

#include "log_rules.h"

struct LogWriter;

// Starts writing to the log at `path`; null when the writer's thread cannot start.
LogWriter* StartLogWriter(const std::string& path, const LogLabels& labels, const LogBound& bound);

// Queues one report. Returns 1, or 0 when too many reports are waiting (the report is lost).
int QueueReport(LogWriter* writer, LogReport report);

// Ends the writer once what is queued is written, waiting at most `milliseconds` for that (not
// at all when nothing is). A writer still caught in the disk after that finishes on its own and
// frees itself.
void StopLogWriter(LogWriter* writer, DWORD milliseconds);
