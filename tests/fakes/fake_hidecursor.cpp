// Stands in for the pointer hider library.
#include "call_log.h"
#include "qxhidecursor.h"

#if !defined(OMIT_SHOW)
FAKE_EXPORT int WINAPI qxShowCursor(int show) {
    RecordCall("qxShowCursor %d", show);
    return 1;
}
#endif
