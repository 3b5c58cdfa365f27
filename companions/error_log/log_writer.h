// The log of one started sender: reports wait in a short queue and a thread of the library's
// own describes their codes and writes them, so that a report never waits for the disk.
#pragma once

#include <windows.h>

#include <string>

#include "log_rules.h"

struct LogWriter;

// Starts writing to the log at `path`; null when the writer's thread cannot start.
LogWriter* StartLogWriter(const std::string& path, const LogLabels& labels, const LogBound& bound);

// Queues one report. Returns 1, or 0 once the writer is stopping. When too many reports are
// waiting, the oldest of them is dropped and counted instead (ReportQueue).
int QueueReport(LogWriter* writer, LogReport report);

// Ends the writer once what is queued is written. The wait goes on while batches reach the disk
// and ends when none has for `milliseconds`; nothing is queued after the stop, so at most the
// batch on its way and one more are waited for (not at all when nothing is queued). A writer
// still caught in the disk after that finishes on its own and frees itself.
void StopLogWriter(LogWriter* writer, DWORD milliseconds);
