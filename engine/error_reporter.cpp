#include "error_reporter.h"

#include "scoped_handles.h"

namespace {

ErrorReporter g_Reporter;

} // namespace

void ErrorReporter::Start() {
    if (module_ != nullptr) {
        return;
    }
    UniqueModule library(LoadLibraryExA(QX_SENDER_LIBRARY, nullptr, 0));
    auto init = BindProc<QxInitSenderFn>(library.Get(), "qxInitSender");
    auto destroy = BindProc<QxDestroySenderFn>(library.Get(), "qxDestroySender");
    auto record = BindProc<QxRecordErrorFn>(library.Get(), "qxRecordError");
    auto dxVersion = BindProc<QxGetDXVersionFn>(library.Get(), "qxGetDXVersion");
    if (init == nullptr || destroy == nullptr || record == nullptr || dxVersion == nullptr) {
        return;
    }
    module_ = library.Release();
    init_ = init;
    destroy_ = destroy;
    record_ = record;

    info_ = SenderInfo{};
    info_.size = sizeof(SenderInfo);
    info_.title = "qxmagnifier[2001-0912] - ERROR";
    info_.supportAddress = "support@vexlume.net";
    info_.limit = 1500;
    info_.errorLabel = "ERROR:";
    info_.sourceLabel = "Source:";
    init_(&info_);
}

int ErrorReporter::Report(const char* text, int code, const char* source) {
    return module_ != nullptr ? record_(text, code, source) : 0;
}

void ErrorReporter::Stop() {
    if (module_ == nullptr) {
        return;
    }
    destroy_();
    FreeLibrary(module_);
    module_ = nullptr;
}

void StartErrorReporter() {
    g_Reporter.Start();
}

int ReportError(const char* text, int code, const char* source) {
    return g_Reporter.Report(text, code, source);
}

void StopErrorReporter() {
    g_Reporter.Stop();
}
