// A program that hides the pointer through the real pointer hider beside it and then waits to
// be ended from outside, as a crash or a kill would end the tray program; at the latest it ends
// with the test whose process id it is given.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "qxhidecursor.h"

int main(int argc, char** argv) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::strcpy(std::strrchr(path, '\\') + 1, QX_HIDECURSOR_LIBRARY);
    HMODULE hider = LoadLibraryA(path);
    auto show = reinterpret_cast<QxShowCursorFn>(
        reinterpret_cast<void*>(GetProcAddress(hider, "qxShowCursor")));
    if (show == nullptr || show(0) != 1) {
        return 1;
    }
    HANDLE test =
        OpenProcess(SYNCHRONIZE, FALSE, argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 0);
    WaitForSingleObject(test, INFINITE);
    return 0;
}
