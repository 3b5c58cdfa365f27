// Drives a running Vexlume.exe from a console, for the demo script: finds the program through its
// shared memory "magnifier" and runs the steps given on the command line, in order:
//     wait          wait (up to 30 s) until the program's message loop answers
//     send N        run command N (8002 = lens on/off, 2 = Exit) and wait for it to be handled
//     post N        post command N without waiting (6000 = the settings dialog, which is modal)
//     window TEXT   wait (up to 30 s) for a window of the program captioned TEXT and print its
//                   place as "window at X Y WIDTH HEIGHT"
//     pause MS      wait MS milliseconds
//     point X Y     move the pointer to the screen point (X, Y)
//     pointin C X Y move the pointer to (X, Y) inside the client area of the window of class C
//     lens          report whether the lens window is on the screen
//     exit          run Exit and wait (up to 15 s) for the program to end with code 0
// Exit code 0 when every step succeeded.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "instance_mapping.h"

namespace {

HWND g_window = nullptr;
DWORD g_processId = 0;

HWND PublishedWindow() {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, kInstanceMappingName);
    if (mapping == nullptr) {
        return nullptr;
    }
    HWND window = nullptr;
    if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
        window = reinterpret_cast<HWND>(
            static_cast<uintptr_t>(*static_cast<const volatile uint32_t*>(view)));
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return window;
}

bool Send(UINT message, WPARAM wParam, DWORD milliseconds) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(g_window, message, wParam, 0, SMTO_NORMAL, milliseconds, &result) !=
           0;
}

bool WaitForProgram() {
    for (int i = 0; i < 300; ++i) {
        g_window = PublishedWindow();
        if (g_window != nullptr && GetWindowThreadProcessId(g_window, &g_processId) &&
            Send(WM_NULL, 0, 30000)) {
            std::printf("Vexlume is running (process %lu)\n", g_processId);
            return true;
        }
        Sleep(100);
    }
    std::printf("Vexlume did not start\n");
    return false;
}

bool LensShown() {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "VX Overlay Window", nullptr)) != nullptr) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        if (id == g_processId && IsWindowVisible(window)) {
            RECT r;
            GetWindowRect(window, &r);
            std::printf("the lens is on the screen: %ld x %ld at %ld, %ld\n", r.right - r.left,
                        r.bottom - r.top, r.left, r.top);
            return true;
        }
    }
    std::printf("no lens on the screen\n");
    return false;
}

bool MovePointer(int x, int y) {
    const bool moved = SetCursorPos(x, y) != 0;
    std::printf("pointer at %d, %d\n", x, y);
    return moved;
}

bool MovePointerInto(const char* windowClass, int x, int y) {
    HWND window = nullptr;
    for (int i = 0; i < 100 && window == nullptr; ++i) {
        window = FindWindowA(windowClass, nullptr);
        Sleep(window == nullptr ? 100 : 0);
    }
    POINT point = {x, y};
    if (window == nullptr || !ClientToScreen(window, &point)) {
        std::printf("no window of class %s\n", windowClass);
        return false;
    }
    return MovePointer(point.x, point.y);
}

struct CaptionSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<CaptionSearch*>(parameter);
    DWORD id = 0;
    char text[256] = {};
    GetWindowThreadProcessId(window, &id);
    GetWindowTextA(window, text, sizeof(text));
    if (id == g_processId && IsWindowVisible(window) && std::strcmp(text, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

bool ReportWindow(const char* caption) {
    CaptionSearch search = {caption, nullptr};
    for (int i = 0; i < 300 && search.found == nullptr; ++i) {
        EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
        Sleep(search.found == nullptr ? 100 : 0);
    }
    RECT r;
    if (search.found == nullptr || !GetWindowRect(search.found, &r)) {
        std::printf("no window \"%s\"\n", caption);
        return false;
    }
    std::printf("window at %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return true;
}

bool ExitProgram() {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, g_processId);
    PostMessageA(g_window, WM_COMMAND, 2, 0);
    DWORD code = 1;
    const bool ended = process != nullptr && WaitForSingleObject(process, 15000) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process, &code);
    if (process != nullptr) {
        CloseHandle(process);
    }
    std::printf(ended ? "Vexlume ended with code %lu\n" : "Vexlume did not end\n", code);
    return ended && code == 0;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        bool ok = true;
        if (std::strcmp(argv[i], "wait") == 0) {
            ok = WaitForProgram();
        } else if (std::strcmp(argv[i], "send") == 0 && i + 1 < argc) {
            const unsigned command = static_cast<unsigned>(std::atoi(argv[++i]));
            ok = g_window != nullptr && Send(WM_COMMAND, command, 30000);
            std::printf("command %u %s\n", command, ok ? "handled" : "not handled");
        } else if (std::strcmp(argv[i], "post") == 0 && i + 1 < argc) {
            const unsigned command = static_cast<unsigned>(std::atoi(argv[++i]));
            ok = g_window != nullptr && PostMessageA(g_window, WM_COMMAND, command, 0);
            std::printf("command %u %s\n", command, ok ? "posted" : "not posted");
        } else if (std::strcmp(argv[i], "window") == 0 && i + 1 < argc) {
            ok = g_window != nullptr && ReportWindow(argv[++i]);
        } else if (std::strcmp(argv[i], "pause") == 0 && i + 1 < argc) {
            Sleep(static_cast<DWORD>(std::atoi(argv[++i])));
        } else if (std::strcmp(argv[i], "point") == 0 && i + 2 < argc) {
            const int x = std::atoi(argv[++i]);
            ok = MovePointer(x, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "pointin") == 0 && i + 3 < argc) {
            const char* windowClass = argv[++i];
            const int x = std::atoi(argv[++i]);
            ok = MovePointerInto(windowClass, x, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "lens") == 0) {
            ok = LensShown();
        } else if (std::strcmp(argv[i], "exit") == 0) {
            ok = g_window != nullptr && ExitProgram();
        } else {
            std::printf("unknown step %s\n", argv[i]);
            ok = false;
        }
        std::fflush(stdout);
        if (!ok) {
            return 1;
        }
    }
    return 0;
}
