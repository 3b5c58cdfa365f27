#include "log_writer.h"

#include <new>
#include <utility>
#include <vector>

#include "error_codes.h"
#include "log_file.h"
#include "pinned_worker.h"

namespace {

// Reports that may wait at once; a burst beyond it drops the oldest waiting.
constexpr size_t kQueueCapacity = 64;

} // namespace

struct LogWriter : PinnedWorker {
    std::string path;
    LogLabels labels;
    LogBound bound{kDefaultLogLines};
    ReportQueue queue;    // under `lock`
    bool writing = false; // under `lock`: a batch is on its way to the disk
};

namespace {

// Takes everything queued; false once the writer is stopping and nothing is left.
bool TakeQueued(LogWriter* writer, ReportQueue* taken) {
    EnterCriticalSection(&writer->lock);
    *taken = std::move(writer->queue);
    writer->queue = ReportQueue{};
    writer->writing = !taken->reports.empty();
    const bool more = !taken->reports.empty() || !writer->stopping;
    LeaveCriticalSection(&writer->lock);
    return more;
}

DWORD WINAPI WriteReports(LPVOID parameter) {
    LogWriter* writer = static_cast<LogWriter*>(parameter);
    LogFileMemo memo;
    ReportQueue taken;
    std::vector<std::string> lines;
    while (TakeQueued(writer, &taken)) {
        if (taken.reports.empty()) {
            WaitForSingleObject(writer->wake.Get(), INFINITE);
            continue;
        }
        lines.clear();
        // The dropped reports came before every report still queued.
        if (taken.dropped > 0) {
            lines.push_back(FormatDroppedLine(writer->labels, taken.lastDropped, taken.dropped));
        }
        for (LogReport& report : taken.reports) {
            report.description = DescribeCode(report.code);
            lines.push_back(FormatLogLine(writer->labels, report));
        }
        AddToLogFile(writer->path.c_str(), lines, writer->bound, &memo);
        NoteProgress(writer);
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
    const bool taken = !writer->stopping;
    if (taken) {
        PushReport(&writer->queue, std::move(report), kQueueCapacity);
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
    const bool idle = writer->queue.reports.empty() && !writer->writing;
    LeaveCriticalSection(&writer->lock);
    StopPinnedWorker(writer, idle ? 0 : milliseconds);
}
