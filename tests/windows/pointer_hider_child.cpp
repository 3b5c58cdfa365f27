// A program that hides the pointer through the real pointer hider beside it and then waits to
// be ended from outside, as a crash or a kill would end the tray program.
#include <windows.h>

#include <cstring>

#include "qxhidecursor.h"

int main() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::strcpy(std::strrchr(path, '\\') + 1, QX_HIDECURSOR_LIBRARY);
    HMODULE hider = LoadLibraryA(path);
    auto show = reinterpret_cast<QxShowCursorFn>(
        reinterpret_cast<void*>(GetProcAddress(hider, "qxShowCursor")));
    if (show == nullptr || show(0) != 1) {
        return 1;
    }
    Sleep(60000);
    return 0;
}
