// The wheel zoom's own cost on the mouse's path: the program's low-level mouse hook's own part
// (without CallNextHookEx) timed around each call, under a steady stream of injected input: two
// pointer moves, a plain wheel turn, then Ctrl+Alt down, a turn forward and one back, Ctrl+Alt up,
// with the program's keyboard hook tracking the modifiers. Beside it, what asking the system for
// Ctrl and Alt at each wheel turn costs instead, and the whole hook. Exit code 1 unless each
// Ctrl+Alt notch posted one zoom command.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "command_ids.h"
#include "wheel_rules.h"
#include "wheel_zoom.h"

namespace {

constexpr int kCycles = 500;

std::vector<double> hookTimes, installedTimes, askTimes;
double perTick = 0;

double Since(const LARGE_INTEGER& from) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - from.QuadPart) * perTick;
}

LRESULT CALLBACK TimedMouseHook(int code, WPARAM wParam, LPARAM lParam) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    const bool taken = WheelZoomTakes(code, wParam, lParam);
    hookTimes.push_back(Since(start));
    const LRESULT result = taken ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
    installedTimes.push_back(Since(start));
    if (wParam == WM_MOUSEWHEEL) {
        QueryPerformanceCounter(&start);
        GetAsyncKeyState(VK_CONTROL);
        GetAsyncKeyState(VK_MENU);
        askTimes.push_back(Since(start));
    }
    return result;
}

DWORD WINAPI SendStream(LPVOID) {
    INPUT cycle[9] = {};
    const DWORD mouse[] = {MOUSEEVENTF_MOVE,
                           MOUSEEVENTF_MOVE,
                           MOUSEEVENTF_WHEEL,
                           0,
                           0,
                           MOUSEEVENTF_WHEEL,
                           MOUSEEVENTF_WHEEL,
                           0,
                           0};
    const WORD keys[] = {0, 0, 0, VK_CONTROL, VK_MENU, 0, 0, VK_MENU, VK_CONTROL};
    for (int i = 0; i < 9; ++i) {
        cycle[i].type = mouse[i] != 0 ? INPUT_MOUSE : INPUT_KEYBOARD;
        cycle[i].mi.dwFlags = mouse[i];
        cycle[i].mi.dx = i == 0 ? 1 : -1;
        cycle[i].mi.mouseData = i == 6 ? static_cast<DWORD>(-WHEEL_DELTA) : WHEEL_DELTA;
        if (mouse[i] == 0) {
            cycle[i].ki = KEYBDINPUT{keys[i], 0, i > 6 ? KEYEVENTF_KEYUP : 0u, 0, 0};
        }
    }
    for (int i = 0; i < kCycles; ++i) {
        for (INPUT& input : cycle) {
            SendInput(1, &input, sizeof(input));
            Sleep(i % 2);
        }
    }
    return 0;
}

void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%s: median_us=%.2f p99_us=%.2f\n", what,
                times.empty() ? 0.0 : times[times.size() / 2],
                times.empty() ? 0.0 : times[times.size() * 99 / 100]);
}

} // namespace

int main() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    perTick = 1e6 / static_cast<double>(frequency.QuadPart);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "wheel", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(window);
    AimWheelZoom(window, kWheelCtrlAlt);
    const HMODULE self = GetModuleHandleA(nullptr);
    HHOOK mouse = SetWindowsHookExA(WH_MOUSE_LL, TimedMouseHook, self, 0);
    HHOOK keyboard = SetWindowsHookExA(WH_KEYBOARD_LL, WheelZoomKeyHook, self, 0);
    HANDLE sender = CreateThread(nullptr, 0, SendStream, nullptr, 0, nullptr);
    // Under Wine, input passes the hooks as the thread in front takes its messages.
    int zoomCommands = 0;
    MSG message;
    for (bool sending = true; sending;) {
        sending =
            MsgWaitForMultipleObjects(1, &sender, FALSE, 60000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            zoomCommands += message.message == WM_COMMAND &&
                            (message.wParam == cmdZoomIn || message.wParam == cmdZoomOut);
            DispatchMessageA(&message);
        }
        PostWheelZoomCommands();
    }
    while (PeekMessageA(&message, nullptr, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
        zoomCommands += message.wParam == cmdZoomIn || message.wParam == cmdZoomOut;
    }
    UnhookWindowsHookEx(mouse);
    UnhookWindowsHookEx(keyboard);
    CloseHandle(sender);
    std::printf("%d cycles of injected input: %zu mouse events, %d zoom commands of %d\n", kCycles,
                hookTimes.size(), zoomCommands, 2 * kCycles);
    Report("wheel hook", hookTimes);
    Report("wheel hook with the hand-on to the next hook", installedTimes);
    Report("Ctrl and Alt asked of the system instead", askTimes);
    return zoomCommands == 2 * kCycles ? 0 : 1;
}
