// Stands in for the caret locator library. The test program moves the caret it reports through
// the extra export FakeCaretSet and counts the queries with FakeCaretQueries.
#include "call_log.h"
#include "qxgetcaretpos.h"

namespace {

POINT g_caret = {0, 0};
int g_valid = 0;
volatile LONG g_queries = 0;

} // namespace

FAKE_EXPORT void FakeCaretSet(int x, int y, int valid) {
    g_caret.x = x;
    g_caret.y = y;
    g_valid = valid;
}

// How often the engine asked for the caret: once per frame.
FAKE_EXPORT LONG FakeCaretQueries() {
    return g_queries;
}

FAKE_EXPORT int WINAPI qxGetCaretPosInit(int first, int second) {
    RecordCall("qxGetCaretPosInit %d %d", first, second);
    return 1;
}

#if !defined(OMIT_GET)
FAKE_EXPORT const POINT* WINAPI qxGetCaretPos(int* valid) {
    InterlockedIncrement(&g_queries);
    *valid = g_valid;
    return &g_caret;
}
#endif

FAKE_EXPORT int WINAPI qxGetCaretPosRelease() {
    RecordCall("qxGetCaretPosRelease");
    return 1;
}
