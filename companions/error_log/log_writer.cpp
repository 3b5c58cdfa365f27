#include "log_writer.h"

#include <deque>
#include <new>
#include <utility>
#include <vector>

#include "error_codes.h"
#include "log_file.h"
#include "pinned_worker.h"

namespace {

// Reports that may wait at once; a burst beyond it loses the newest.
constexpr size_t kQueueCapacity = 64;

} // namespace

struct LogWriter : PinnedWorker {
    std::string path;
    LogLabels labels;
    LogBound bound{kDefaultLogLines};
    std::deque<LogReport> queue; // under `lock`
    bool writing = false;        // under `lock`: a batch is on its way to the disk
};

namespace {

// Takes everything queued; false once the writer is stopping and nothing is left.
bool TakeQueued(LogWriter* writer, std::vector<LogReport>* reports) {
    EnterCriticalSection(&writer->lock);
    reports->assign(writer->queue.begin(), writer->queue.end());
    writer->queue.clear();
    writer->writing = !reports->empty();
    const bool more = !reports->empty() || !writer->stopping;
    LeaveCriticalSection(&writer->lock);
    return more;
}

DWORD WINAPI WriteReports(LPVOID parameter) {
    LogWriter* writer = static_cast<LogWriter*>(parameter);
    LogFileMemo memo;
    std::vector<LogReport> reports;
    std::vector<std::string> lines;
    while (TakeQueued(writer, &reports)) {
        if (reports.empty()) {
            WaitForSingleObject(writer->wake.Get(), INFINITE);
            continue;
        }
        lines.clear();
        for (LogReport& report : reports) {
            report.description = DescribeCode(report.code);
            lines.push_back(FormatLogLine(writer->labels, report));
        }
        AddToLogFile(writer->path.c_str(), lines, writer->bound, &memo);
    }
    LeaveWorker(writer);
}

} // namespace

LogWriter* StartLogWriter(const std::string& path, const LogLabels& labels, const LogBound& bound) {
    LogWriter* writer = new (std::nothrow) LogWriter;
    if (writer == nullptr) {
        return nullptr;
    }
    writer->path = path;
    writer->labels = labels;
    writer->bound = bound;
    if (!StartPinnedWorker(writer, WriteReports)) {
        delete writer;
        return nullptr;
    }
    return writer;
}

int QueueReport(LogWriter* writer, LogReport report) {
    EnterCriticalSection(&writer->lock);
    const bool taken = !writer->stopping && writer->queue.size() < kQueueCapacity;
    if (taken) {
        writer->queue.push_back(std::move(report));
    }
    LeaveCriticalSection(&writer->lock);
    if (taken) {
        SetEvent(writer->wake.Get());
    }
    return taken ? 1 : 0;
}

void StopLogWriter(LogWriter* writer, DWORD milliseconds) {
    // Only reports still on their way are waited for.
    EnterCriticalSection(&writer->lock);
    const bool idle = writer->queue.empty() && !writer->writing;
    LeaveCriticalSection(&writer->lock);
    StopPinnedWorker(writer, idle ? 0 : milliseconds);
}
