// The entry points of the error log "qxsender.dll". The log is a file in the application-data
// folder; without that folder no log is kept.
#include "qxsender.h"

#include <cstring>
#include <mutex>

#include "appdata_folder.h"
#include "log_writer.h"

namespace {

// How long the end of the log waits for the next batch of queued reports to reach the disk.
constexpr DWORD kStopWaitMs = 1000;
// Texts are read up to these lengths, whatever the caller passes.
constexpr size_t kMaxLabelChars = 256;
constexpr size_t kMaxReportChars = 4096;

std::mutex writerLock;
LogWriter* activeWriter = nullptr; // under writerLock

std::string BoundedText(const char* text, size_t most) {
    return text != nullptr ? std::string(text, strnlen(text, most)) : std::string();
}

// The texts of the block; a block too short to hold them all gives none.
LogLabels LabelsFromBlock(const SenderInfo* info) {
    LogLabels labels;
    if (info == nullptr || info->size < sizeof(SenderInfo)) {
        return labels;
    }
    labels.title = BoundedText(info->title, kMaxLabelChars);
    labels.errorLabel = BoundedText(info->errorLabel, kMaxLabelChars);
    labels.sourceLabel = BoundedText(info->sourceLabel, kMaxLabelChars);
    return labels;
}

LogWriter* StartWriter(const SenderInfo* info) {
    char folder[kPathCapacity];
    char path[kPathCapacity];
    if (!ComposeAppDataFolder(folder, nullptr) ||
        !JoinPath(path, kPathCapacity, folder, QX_SENDER_LOG_NAME)) {
        return nullptr;
    }
    const bool hasLimit = info != nullptr && info->size >= sizeof(SenderInfo);
    return StartLogWriter(path, LabelsFromBlock(info), BoundFromLimit(hasLimit ? info->limit : 0));
}

LogWriter* TakeWriter() {
    std::lock_guard<std::mutex> hold(writerLock);
    LogWriter* writer = activeWriter;
    activeWriter = nullptr;
    return writer;
}

} // namespace

extern "C" int WINAPI qxInitSender(SenderInfo* info) {
    if (LogWriter* earlier = TakeWriter()) {
        StopLogWriter(earlier, kStopWaitMs);
    }
    LogWriter* writer = StartWriter(info);
    std::lock_guard<std::mutex> hold(writerLock);
    activeWriter = writer;
    return writer != nullptr ? 1 : 0;
}

extern "C" int WINAPI qxDestroySender() {
    if (LogWriter* writer = TakeWriter()) {
        StopLogWriter(writer, kStopWaitMs);
    }
    return 1;
}

extern "C" int WINAPI qxRecordError(const char* text, int code, const char* source) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    LogReport report;
    report.time = LogTime{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                          now.wMinute, now.wSecond, now.wMilliseconds};
    report.text = BoundedText(text, kMaxReportChars);
    report.code = code;
    report.source = BoundedText(source, kMaxReportChars);
    std::lock_guard<std::mutex> hold(writerLock);
    return activeWriter != nullptr ? QueueReport(activeWriter, std::move(report)) : 0;
}
