#include "log_rules.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <utility>

namespace {

constexpr size_t kMinLogLines = 2;
constexpr size_t kMaxLogLines = 100000;
constexpr char kLineEnd[] = "\r\n";
constexpr char kCut[] = "...";

// Appends `text` with every control character as a space.
void AppendClean(std::string* line, const std::string& text) {
    for (char c : text) {
        line->push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c);
    }
}

// " | label value", or " | value" without a label.
void AppendField(std::string* line, const std::string& label, const std::string& value) {
    line->append(" | ");
    AppendClean(line, label);
    if (!label.empty()) {
        line->push_back(' ');
    }
    AppendClean(line, value);
}

// Where the line that ends just before `end` begins.
size_t LineStartBefore(const std::string& content, size_t end) {
    if (end < 2) {
        return 0;
    }
    const size_t previousEnd = content.rfind('\n', end - 2);
    return previousEnd == std::string::npos ? 0 : previousEnd + 1;
}

std::string Stamp(const LogTime& time) {
    char stamp[64];
    std::snprintf(stamp, sizeof(stamp), "%04u-%02u-%02u %02u:%02u:%02u.%03u ", time.year,
                  time.month, time.day, time.hour, time.minute, time.second, time.milliseconds);
    return stamp;
}

// The line with its end: trailing spaces (left by line ends inside a description) trimmed, and
// cut short to the longest line.
std::string Ended(std::string line) {
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    const size_t room = kMaxLogLineBytes - (sizeof(kLineEnd) - 1);
    if (line.size() > room) {
        line.resize(room - (sizeof(kCut) - 1));
        line += kCut;
    }
    return line + kLineEnd;
}

size_t TotalBytes(const std::vector<std::string>& lines) {
    size_t bytes = 0;
    for (const std::string& line : lines) {
        bytes += line.size();
    }
    return bytes;
}

} // namespace

std::string FormatLogLine(const LogLabels& labels, const LogReport& report) {
    std::string line = Stamp(report.time);
    AppendClean(&line, labels.title);
    AppendField(&line, labels.errorLabel, report.text);

    char code[64];
    std::snprintf(code, sizeof(code), "%" PRId32 " (0x%08" PRIX32 ")", report.code,
                  static_cast<uint32_t>(report.code));
    std::string codeField = code;
    if (!report.description.empty()) {
        codeField += ' ';
        codeField += report.description;
    }
    AppendField(&line, "code", codeField);
    AppendField(&line, labels.sourceLabel, report.source);
    return Ended(line);
}

void PushReport(ReportQueue* queue, LogReport report, size_t capacity) {
    while (!queue->reports.empty() && queue->reports.size() >= capacity) {
        queue->lastDropped = queue->reports.front().time;
        queue->reports.pop_front();
        ++queue->dropped;
    }
    queue->reports.push_back(std::move(report));
}

std::string FormatDroppedLine(const LogLabels& labels, const LogTime& time, size_t count) {
    std::string line = Stamp(time);
    AppendClean(&line, labels.title);
    line += " | " + std::to_string(count) + (count == 1 ? " earlier report" : " earlier reports") +
            " dropped";
    return Ended(line);
}

LogBound BoundFromLimit(uint32_t limit) {
    if (limit == 0) {
        return LogBound{kDefaultLogLines};
    }
    return LogBound{std::clamp<size_t>(limit, kMinLogLines, kMaxLogLines)};
}

size_t CountLogLines(const std::string& content) {
    const size_t ends = static_cast<size_t>(std::count(content.begin(), content.end(), '\n'));
    return ends + (!content.empty() && content.back() != '\n' ? 1 : 0);
}

bool FitsInLog(size_t lineCount, uint64_t fileBytes, const std::vector<std::string>& lines,
               const LogBound& bound) {
    return lineCount + lines.size() <= bound.maxLines &&
           fileBytes + TotalBytes(lines) <= bound.MaxBytes();
}

std::string RotatedLog(const std::string& content, bool fromTail,
                       const std::vector<std::string>& lines, const LogBound& bound) {
    // Of a batch larger than the whole log, only its newest lines.
    const size_t firstNew = lines.size() > bound.maxLines ? lines.size() - bound.maxLines : 0;
    std::string added;
    for (size_t i = firstNew; i < lines.size(); ++i) {
        added += lines[i];
    }
    const size_t oldLinesRoom =
        std::min(bound.maxLines / 2, bound.maxLines - (lines.size() - firstNew));
    const uint64_t oldBytesRoom =
        bound.MaxBytes() > added.size() ? bound.MaxBytes() - added.size() : 0;

    // A tail may begin inside a line: its first line is dropped.
    size_t first = 0;
    if (fromTail) {
        const size_t end = content.find('\n');
        first = end == std::string::npos ? content.size() : end + 1;
    }
    // Walk back over whole lines from the end while there is room. A last line that an earlier
    // crash left without its end is kept and given one.
    size_t start = content.size();
    size_t keptLines = 0;
    uint64_t keptBytes = 0;
    const bool unended = start > first && content[start - 1] != '\n';
    while (start > first && keptLines < oldLinesRoom) {
        const size_t lineStart = std::max(LineStartBefore(content, start), first);
        uint64_t bytes = start - lineStart;
        if (keptLines == 0 && unended) {
            bytes += sizeof(kLineEnd) - 1;
        }
        if (keptBytes + bytes > oldBytesRoom) {
            break;
        }
        keptBytes += bytes;
        ++keptLines;
        start = lineStart;
    }
    std::string result = content.substr(start);
    if (unended && keptLines > 0) {
        result += kLineEnd;
    }
    return result + added;
}
