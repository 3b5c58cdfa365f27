// Stands in for the error reporter library. The variants built with OMIT_<entry> leave one entry
// point out.
#include "call_log.h"

#include <cstdint>

namespace {

const char* Text(const char* p) {
    return p != nullptr ? p : "(null)";
}

} // namespace

#if !defined(OMIT_INIT)
FAKE_EXPORT int WINAPI qxInitSender(const uint32_t* block) {
    const char* const* texts = reinterpret_cast<const char* const*>(block);
    RecordCall("qxInitSender size=%u reserved=%u,%u,%u title=%s address=%s limit=%u "
               "labels=%s|%s",
               block[0], block[1], block[2], block[3], Text(texts[4]), Text(texts[5]), block[6],
               Text(texts[7]), Text(texts[8]));
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
