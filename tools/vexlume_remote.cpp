// Drives a running Vexlume.exe from a console, for the demo scripts: finds the program through its
// shared memory "magnifier" and runs the steps given on the command line, in order:
//     wait          wait (up to 30 s) until the program's message loop answers
//     send N        run command N (8002 = lens on/off, 2 = Exit) and wait for it to be handled
//     post N        post command N without waiting (6000 = the settings dialog, which is modal)
//     window TEXT   wait (up to 30 s) for a window of the program captioned TEXT and print its
//                   place as "window at X Y WIDTH HEIGHT"
//     click TEXT    wait (up to 30 s) for a button reading TEXT (its '&' left out) that can be
//                   pressed, in a window of the program, and click it
//     pause MS      wait MS milliseconds
//     point X Y     move the pointer to the screen point (X, Y)
//     pointin C X Y move the pointer to (X, Y) inside the client area of the window of class C
//     lens          wait (up to 30 s) for the lens window and print its place
//     lensover      wait (up to 30 s) until the lens covers the point the pointer was last moved
//                   to, that is until a frame has placed it there, and print its place
//     tray          open the tray menu as a right click on the icon does, with the pointer just
//                   above the icon, and wait (up to 30 s) for it to show; the pointer then moves
//                   aside so that it lights no item
//     menu          print the place of the open menu with its open submenu, "menu at X Y W H"
//     menukey KEY   press KEY (down, up, left, right, enter or escape) in the open menu
//     exit          run Exit and wait (up to 15 s) for the program to end with code 0
// Before a wait step, window and click look at the windows of every program (for the
// installer).
// Exit code 0 when every step succeeded.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "instance_mapping.h"
#include "tray.h"

namespace {

HWND g_window = nullptr;
DWORD g_processId = 0;
// Where the last point or pointin step put the pointer. (GetCursorPos may still tell the old
// place for a moment after a move.)
POINT g_pointer = {-1, -1};

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

// A visible window of the program, or of any program before the program has been found (for
// the installer).
bool OwnWindow(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return (g_processId == 0 || id == g_processId) && IsWindowVisible(window);
}

HWND FindLens() {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "VX Overlay Window", nullptr)) != nullptr) {
        if (OwnWindow(window)) {
            return window;
        }
    }
    return nullptr;
}

bool LensShown() {
    HWND lens = nullptr;
    for (int i = 0; i < 300 && (lens = FindLens()) == nullptr; ++i) {
        Sleep(100);
    }
    RECT r;
    if (lens == nullptr || !GetWindowRect(lens, &r)) {
        std::printf("no lens on the screen\n");
        return false;
    }
    std::printf("the lens is on the screen: %ld x %ld at %ld, %ld\n", r.right - r.left,
                r.bottom - r.top, r.left, r.top);
    return true;
}

// The lens moves only with a frame, and a frame centres it on the pointer: once it covers the
// point the pointer was moved to, a frame has just been shown there.
bool LensOverPointer() {
    for (int i = 0; i < 1500; ++i) {
        RECT r;
        HWND lens = FindLens();
        if (lens != nullptr && GetWindowRect(lens, &r) && PtInRect(&r, g_pointer)) {
            std::printf("the lens is over the pointer: %ld x %ld at %ld, %ld\n", r.right - r.left,
                        r.bottom - r.top, r.left, r.top);
            return true;
        }
        Sleep(20);
    }
    std::printf("the lens did not come to the pointer\n");
    return false;
}

// The program's popup menus on the screen (the menu and its open submenu): the topmost one, and
// the rectangle around them all. False when none shows.
bool FindMenus(HWND* topmost, RECT* around) {
    *topmost = nullptr;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32768", nullptr)) != nullptr) {
        RECT r;
        if (!OwnWindow(window) || !GetWindowRect(window, &r)) {
            continue;
        }
        if (*topmost == nullptr) {
            *topmost = window;
            *around = r;
        } else {
            UnionRect(around, around, &r);
        }
    }
    return *topmost != nullptr;
}

bool WaitForMenus(HWND* topmost, RECT* around) {
    for (int i = 0; i < 300; ++i) {
        if (FindMenus(topmost, around)) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

bool ReportMenus() {
    HWND topmost = nullptr;
    RECT r;
    if (!WaitForMenus(&topmost, &r)) {
        std::printf("no menu on the screen\n");
        return false;
    }
    std::printf("menu at %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return true;
}

bool MovePointer(int x, int y) {
    const bool moved = SetCursorPos(x, y) != 0;
    g_pointer = {x, y};
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

// The caption without the blanks some programs leave at its end (the installer's has one).
BOOL CALLBACK MatchCaption(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<CaptionSearch*>(parameter);
    char text[256] = {};
    size_t length = static_cast<size_t>(GetWindowTextA(window, text, sizeof(text)));
    while (length > 0 && text[length - 1] == ' ') {
        text[--length] = '\0';
    }
    if (OwnWindow(window) && std::strcmp(text, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A button's text as it reads, without the '&' that marks its access key.
bool SameLabel(const char* text, const char* label) {
    for (;; ++text) {
        if (*text == '&') {
            continue;
        }
        if (*text != *label) {
            return false;
        }
        if (*text == '\0') {
            return true;
        }
        ++label;
    }
}

BOOL CALLBACK MatchButton(HWND control, LPARAM parameter) {
    auto* search = reinterpret_cast<CaptionSearch*>(parameter);
    char text[256] = {};
    GetWindowTextA(control, text, sizeof(text));
    if (IsWindowVisible(control) && IsWindowEnabled(control) && SameLabel(text, search->caption)) {
        search->found = control;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK SearchButtons(HWND window, LPARAM parameter) {
    if (OwnWindow(window)) {
        EnumChildWindows(window, MatchButton, parameter);
    }
    return reinterpret_cast<CaptionSearch*>(parameter)->found == nullptr;
}

bool ClickButton(const char* label) {
    CaptionSearch search = {label, nullptr};
    for (int i = 0; i < 300 && search.found == nullptr; ++i) {
        EnumWindows(SearchButtons, reinterpret_cast<LPARAM>(&search));
        Sleep(search.found == nullptr ? 100 : 0);
    }
    if (search.found == nullptr) {
        std::printf("no button \"%s\" to click\n", label);
        return false;
    }
    // A click that opens a page running a message loop of its own (as setup's custom pages do)
    // returns only when that page closes: a click still busy after 5 s has done its part.
    DWORD_PTR result = 0;
    SetLastError(0);
    if (!SendMessageTimeoutA(search.found, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result) &&
        GetLastError() != ERROR_TIMEOUT) {
        std::printf("the button \"%s\" could not be clicked\n", label);
        return false;
    }
    std::printf("clicked \"%s\"\n", label);
    return true;
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

// The shell tells the program of a right click on its icon with the icon's callback message.
// The program opens its menu where the pointer is when the shell names no notification area
// (as under Wine), so the pointer goes just above the icon first: on the icon itself it would
// bring up the icon's tip, which stays while the menu holds the mouse.
bool OpenTrayMenu() {
    RECT taskbar;
    HWND shell = FindWindowA("Shell_TrayWnd", nullptr);
    if (shell != nullptr && GetWindowRect(shell, &taskbar)) {
        SetCursorPos(taskbar.right - 12, taskbar.top - 2);
        // The program places the menu at the pointer it reads, which other threads may still
        // read at the old place for about 100 ms after a move.
        Sleep(300);
    }
    if (!PostMessageA(g_window, kTrayCallbackMessage, kTrayIconId, WM_RBUTTONUP)) {
        std::printf("the tray menu was not asked for\n");
        return false;
    }
    HWND topmost = nullptr;
    RECT around;
    if (!WaitForMenus(&topmost, &around)) {
        std::printf("the tray menu did not open\n");
        return false;
    }
    SetCursorPos(around.left / 2, around.top / 2);
    std::printf("the tray menu is open\n");
    return true;
}

// The menu's own loop reads the key from the message queue of the program's thread.
bool PressInMenu(const char* name) {
    static const struct {
        const char* name;
        WPARAM key;
    } kKeys[] = {{"down", VK_DOWN},   {"up", VK_UP},        {"left", VK_LEFT},
                 {"right", VK_RIGHT}, {"enter", VK_RETURN}, {"escape", VK_ESCAPE}};
    HWND topmost = nullptr;
    RECT around;
    for (const auto& entry : kKeys) {
        if (std::strcmp(entry.name, name) != 0) {
            continue;
        }
        if (!FindMenus(&topmost, &around)) {
            std::printf("no menu for the key %s\n", name);
            return false;
        }
        PostMessageA(topmost, WM_KEYDOWN, entry.key, 0);
        Sleep(300); // the menu draws what the key changed
        return true;
    }
    std::printf("unknown key %s\n", name);
    return false;
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
            ok = ReportWindow(argv[++i]);
        } else if (std::strcmp(argv[i], "click") == 0 && i + 1 < argc) {
            ok = ClickButton(argv[++i]);
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
        } else if (std::strcmp(argv[i], "lensover") == 0) {
            ok = LensOverPointer();
        } else if (std::strcmp(argv[i], "tray") == 0) {
            ok = g_window != nullptr && OpenTrayMenu();
        } else if (std::strcmp(argv[i], "menu") == 0) {
            ok = ReportMenus();
        } else if (std::strcmp(argv[i], "menukey") == 0 && i + 1 < argc) {
            ok = PressInMenu(argv[++i]);
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
