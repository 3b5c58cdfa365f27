// Stands in for the error reporter library. The variants built with OMIT_<entry> leave one entry
// point out.
#include "call_log.h"
#include "qxsender.h"

namespace {

const char* Text(const char* p) {
    return p != nullptr ? p : "(null)";
}

} // namespace

#if !defined(OMIT_INIT)
FAKE_EXPORT int WINAPI qxInitSender(SenderInfo* info) {
    RecordCall("qxInitSender size=%u reserved=%u,%u,%u title=%s address=%s limit=%u "
               "labels=%s|%s",
               info->size, info->reserved[0], info->reserved[1], info->reserved[2],
               Text(info->title), Text(info->supportAddress), info->limit, Text(info->errorLabel),
               Text(info->sourceLabel));
    return 1;
}
#endif

#if !defined(OMIT_DESTROY)
FAKE_EXPORT int WINAPI qxDestroySender() {
    RecordCall("qxDestroySender");
    return 1;
}
#endif

#if !defined(OMIT_RECORD)
FAKE_EXPORT int WINAPI qxRecordError(const char* text, int code, const char* source) {
    RecordCall("qxRecordError %s|%d|%s", Text(text), code, Text(source));
    return 7;
}
#endif

#if !defined(OMIT_DXVERSION)
FAKE_EXPORT int WINAPI qxGetDXVersion() {
    RecordCall("qxGetDXVersion");
    return 9;
}
#endif
