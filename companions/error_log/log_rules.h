// The error log's rules that need no Windows: one report as one line, the reports waiting to be
// written, how many lines the log keeps, and what is left of it when a report would go beyond
// that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The longest line the log writes, its line end included; a longer report is cut short.
constexpr size_t kMaxLogLineBytes = 1024;
// Lines kept when the describing block gives no limit.
constexpr uint32_t kDefaultLogLines = 1500;

struct LogTime {
    unsigned year, month, day, hour, minute, second, milliseconds;
};

// The texts of the describing block, copied when the log starts.
struct LogLabels {
    std::string title;
    std::string errorLabel;
    std::string sourceLabel;
};

struct LogReport {
    LogTime time;
    std::string text;
    int32_t code;
    std::string description; // what the system says the code means; may be empty
    std::string source;
};

// One report as one line:
//   2024-05-01 12:34:56.789 <title> | <errorLabel> <text> | code <decimal> (0x<hex>) <description>
//   | <sourceLabel> <source>
// ending in "\r\n" and at most kMaxLogLineBytes long. Control characters become spaces, so a
// report never spans two lines.
std::string FormatLogLine(const LogLabels& labels, const LogReport& report);

// Reports waiting for the log's writer. A report that comes while `capacity` reports wait pushes
// out the oldest of them: the newest reports are the ones that explain a failure. Those pushed out
// are counted, and the count is written where they would have been.
struct ReportQueue {
    std::deque<LogReport> reports;
    size_t dropped = 0;       // pushed out since the writer last took the queue
    LogTime lastDropped = {}; // the time of the newest of them
};

void PushReport(ReportQueue* queue, LogReport report, size_t capacity);

// The line in place of `count` dropped reports, the newest of them made at `time`:
//   2024-05-01 12:34:56.789 <title> | <count> earlier reports dropped
// ending in "\r\n".
std::string FormatDroppedLine(const LogLabels& labels, const LogTime& time, size_t count);

// How big the log may grow: a number of lines, and with it a number of bytes.
struct LogBound {
    size_t maxLines;
    uint64_t MaxBytes() const { return static_cast<uint64_t>(maxLines) * kMaxLogLineBytes; }
};

// The block's limit as the log's bound: 0 means the default; anything else is kept between 2 and
// 100000 lines.
LogBound BoundFromLimit(uint32_t limit);

// Lines in `content`: every line end, plus a last line without one.
size_t CountLogLines(const std::string& content);

// Whether `lines` can be added to a log of `lineCount` lines and `fileBytes` bytes without going
// beyond the bound.
bool FitsInLog(size_t lineCount, uint64_t fileBytes, const std::vector<std::string>& lines,
               const LogBound& bound);

// The whole new log when `lines` do not fit: the older half goes, then the new lines follow.
// `content` is the log, or with `fromTail` only its last bytes (whose first line may be cut, and
// is then dropped). The result keeps at most half the bound's lines of the old log, never more
// old and new lines than the bound and never more bytes.
std::string RotatedLog(const std::string& content, bool fromTail,
                       const std::vector<std::string>& lines, const LogBound& bound);
