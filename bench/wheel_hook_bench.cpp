// The wheel zoom's own cost on the mouse's path: the program's low-level mouse hook procedure timed
// around each call, under a steady stream of injected input (pointer moves, plain wheel turns and
// wheel turns with Ctrl+Alt held, two events a millisecond at most), with the program's keyboard
// hook tracking the modifiers. Beside it, the same calls' key tracking and what asking the system
// for Ctrl and Alt would cost instead. Exit code 1 when the zoom commands posted are not one per
// Ctrl+Alt notch.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "command_ids.h"
#include "wheel_rules.h"
#include "wheel_zoom.h"

namespace {

constexpr int kCycles = 500;

struct Timings {
    std::vector<double> mouse, keys, asked, next;
    double perTick = 0;
    int zoomCommands = 0;
};
Timings timings;

double Since(const LARGE_INTEGER& from) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - from.QuadPart) * timings.perTick;
}

LRESULT CALLBACK TimedMouseHook(int code, WPARAM wParam, LPARAM lParam) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    const LRESULT result = WheelZoomMouseHook(code, wParam, lParam);
    timings.mouse.push_back(Since(start));
    // The system's share: the chain after this hook is empty, so a second call changes nothing.
    QueryPerformanceCounter(&start);
    CallNextHookEx(nullptr, code, wParam, lParam);
    timings.next.push_back(Since(start));
    if (wParam == WM_MOUSEWHEEL) {
        QueryPerformanceCounter(&start);
        GetAsyncKeyState(VK_CONTROL);
        GetAsyncKeyState(VK_MENU);
        timings.asked.push_back(Since(start));
    }
    return result;
}

LRESULT CALLBACK TimedKeyHook(int code, WPARAM wParam, LPARAM lParam) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    const LRESULT result = WheelZoomKeyHook(code, wParam, lParam);
    timings.keys.push_back(Since(start));
    return result;
}

INPUT Mouse(DWORD flags, LONG dx, DWORD data) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    return input;
}

INPUT Key(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// One cycle: two moves, a plain turn, then Ctrl+Alt with a turn forward and one back.
DWORD WINAPI SendStream(LPVOID) {
    const INPUT cycle[] = {Mouse(MOUSEEVENTF_MOVE, 1, 0),
                           Mouse(MOUSEEVENTF_MOVE, -1, 0),
                           Mouse(MOUSEEVENTF_WHEEL, 0, WHEEL_DELTA),
                           Key(VK_CONTROL, false),
                           Key(VK_MENU, false),
                           Mouse(MOUSEEVENTF_WHEEL, 0, WHEEL_DELTA),
                           Mouse(MOUSEEVENTF_WHEEL, 0, static_cast<DWORD>(-WHEEL_DELTA)),
                           Key(VK_MENU, true),
                           Key(VK_CONTROL, true)};
    for (int i = 0; i < kCycles; ++i) {
        for (INPUT input : cycle) {
            SendInput(1, &input, sizeof(input));
            Sleep(i % 2);
        }
    }
    return 0;
}

void Report(const char* what, std::vector<double> times) {
    if (times.empty()) {
        std::printf("%s: no events\n", what);
        return;
    }
    std::sort(times.begin(), times.end());
    std::printf("%s: median_us=%.2f p99_us=%.2f\n", what, times[times.size() / 2],
                times[times.size() * 99 / 100]);
    std::printf("  p90 %.2f p95 %.2f p98 %.2f max %.2f\n", times[times.size() * 90 / 100],
                times[times.size() * 95 / 100], times[times.size() * 98 / 100], times.back());
}

} // namespace

int main() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    timings.perTick = 1e6 / static_cast<double>(frequency.QuadPart);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "wheel", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(window);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    SetCursorPos(400, 300);
    AimWheelZoom(window, kWheelCtrlAlt);
    const HMODULE self = GetModuleHandleA(nullptr);
    HHOOK mouse = SetWindowsHookExA(WH_MOUSE_LL, TimedMouseHook, self, 0);
    HHOOK keys = SetWindowsHookExA(WH_KEYBOARD_LL, TimedKeyHook, self, 0);
    timings.mouse.reserve(kCycles * 5);
    HANDLE sender = CreateThread(nullptr, 0, SendStream, nullptr, 0, nullptr);
    // Input passes the hooks as this thread, in front, takes its messages (so Wine calls them).
    MSG message;
    while (MsgWaitForMultipleObjects(1, &sender, FALSE, 60000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            const bool zoom = message.message == WM_COMMAND &&
                              (message.wParam == cmdZoomIn || message.wParam == cmdZoomOut);
            timings.zoomCommands += zoom;
            DispatchMessageA(&message);
        }
    }
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        timings.zoomCommands += message.message == WM_COMMAND;
    }
    UnhookWindowsHookEx(mouse);
    UnhookWindowsHookEx(keys);
    CloseHandle(sender);

    std::printf("the hook procedures timed around each call (QueryPerformanceCounter) under %d "
                "injected cycles of two moves, a plain turn and Ctrl+Alt with two turns\n",
                kCycles);
    std::printf("mouse events %zu, key events %zu, zoom commands %d of %d\n", timings.mouse.size(),
                timings.keys.size(), timings.zoomCommands, 2 * kCycles);
    Report("wheel hook", timings.mouse);
    Report("wheel hook, key tracking", timings.keys);
    Report("CallNextHookEx alone, the system's share", timings.next);
    Report("Ctrl and Alt asked of the system instead", timings.asked);
    return timings.zoomCommands == 2 * kCycles ? 0 : 1;
}
