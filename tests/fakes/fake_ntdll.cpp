// Stands in for ntdll's version query. The test program sets the version it reports through the
// extra export FakeVersionSet.
#include "call_log.h"

namespace {

DWORD g_major = 6;
DWORD g_minor = 1;
DWORD g_build = 7601;

} // namespace

FAKE_EXPORT void FakeVersionSet(DWORD major, DWORD minor, DWORD build) {
    g_major = major;
    g_minor = minor;
    g_build = build;
}

FAKE_EXPORT LONG WINAPI RtlGetVersion(OSVERSIONINFOW* version) {
    RecordCall("RtlGetVersion");
    version->dwMajorVersion = g_major;
    version->dwMinorVersion = g_minor;
    version->dwBuildNumber = g_build;
    return 0;
}
