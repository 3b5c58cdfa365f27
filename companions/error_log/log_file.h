// Adding lines to the log file on disk, within its bound. The file is opened for each batch and
// closed after it; a file that is locked, read-only or cannot be read loses the batch, at once.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "log_rules.h"

// What the file held after this process last wrote it, so that the next batch need not count
// its lines again when nobody else has changed it.
struct LogFileMemo {
    uint64_t bytes = UINT64_MAX; // unknown
    size_t lines = 0;
    bool unended = false; // the last line has no line end
};

// Adds `lines` (formatted lines) to the log at `path`, rotating it when they would not fit.
// Returns 1 when they are in the file, 0 when the batch was lost.
int AddToLogFile(const char* path, const std::vector<std::string>& lines, const LogBound& bound,
                 LogFileMemo* memo);
