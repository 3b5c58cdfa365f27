// The entry point of the pointer hider "qxhidecursor.dll". Its marker lies in the
// application-data folder.
#include "qxhidecursor.h"

#include <mutex>

#include "appdata_folder.h"
#include "pointer_hiding.h"

namespace {

std::mutex hidingLock;
PointerHiding hiding;     // under hidingLock
bool hidingSetUp = false; // under hidingLock

void SetUpOnce() {
    if (hidingSetUp) {
        return;
    }
    hidingSetUp = true;
    char folder[kPathCapacity];
    char marker[kPathCapacity] = {};
    if (!ComposeAppDataFolder(folder, nullptr) ||
        !JoinPath(marker, kPathCapacity, folder, QX_HIDECURSOR_MARKER_NAME)) {
        marker[0] = '\0';
    }
    SetUpPointerHiding(&hiding, SystemPointerCalls(), marker);
}

} // namespace

extern "C" int WINAPI qxShowCursor(int show) {
    std::lock_guard<std::mutex> hold(hidingLock);
    SetUpOnce();
    return ShowSystemPointer(&hiding, show);
}

// Unloaded, or the process ends, with the pointers still hidden: they come back. No lock here:
// nobody calls in any more (at process end the other threads are already gone).
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) {
        RestoreOnUnload(&hiding);
    }
    return TRUE;
}
