#include "wheel_zoom.h"

#include "command_ids.h"
#include "wheel_rules.h"

namespace {

constexpr DWORD kThreadWaitMs = 5000;

// Zoom commands taken by the hook and not yet posted; more notches than this between two turns of
// the hook thread's loop are dropped.
constexpr int kPendingCapacity = 64;

// What the hooks work with. The system calls them with nothing of ours, so they find it here;
// only the hook thread changes it once the hooks are set.
struct WheelHook {
    HWND target = nullptr;
    uint32_t keys = kWheelCtrlAlt;
    ModifierTracker modifiers;
    int32_t rest = 0; // a part of a notch turned so far
    WPARAM pending[kPendingCapacity] = {};
    int pendingCount = 0;
    HANDLE thread = nullptr;
    DWORD threadId = 0;
};

WheelHook wheelHook;

// The hook thread's start: whether both hooks are set, told once the thread has its queue.
struct HookStart {
    HANDLE ready;
    uint32_t keys;
    HWND target;
    bool hooked;
};

struct HeldKey {
    int virtualKey;
    uint32_t held;
};
constexpr HeldKey kHeldKeys[] = {{VK_CONTROL, kHeldCtrl},
                                 {VK_MENU, kHeldAlt},
                                 {VK_SHIFT, kHeldShift},
                                 {VK_LWIN, kHeldWin},
                                 {VK_RWIN, kHeldWin}};

// The modifiers among `asked` that the system reports down now.
uint32_t SystemModifiers(uint32_t asked) {
    uint32_t held = 0;
    for (const HeldKey& key : kHeldKeys) {
        if ((asked & key.held) != 0 && GetAsyncKeyState(key.virtualKey) < 0) {
            held |= key.held;
        }
    }
    return held;
}

// A wheel turn with the chosen modifiers held becomes zoom steps; true when it was taken. The
// tracked keys are checked with the system only when they may have gone stale.
bool TakeWheel(WheelHook& hook, const MSLLHOOKSTRUCT& event) {
    ModifierTracker& modifiers = hook.modifiers;
    if (!WheelZooms(HeldModifiers(modifiers), hook.keys)) {
        return false;
    }
    if (ModifiersNeedCheck(modifiers, event.time)) {
        const uint32_t chosen = WheelModifiers(hook.keys);
        ModifiersChecked(&modifiers, SystemModifiers(chosen) | ~chosen, event.time);
        if (!WheelZooms(HeldModifiers(modifiers), hook.keys)) {
            return false;
        }
    }
    const int32_t steps = TakeWheelSteps(&hook.rest, static_cast<short>(HIWORD(event.mouseData)));
    const WPARAM command = steps > 0 ? cmdZoomIn : cmdZoomOut;
    for (int32_t i = 0; (i < steps || i < -steps) && hook.pendingCount < kPendingCapacity; ++i) {
        hook.pending[hook.pendingCount++] = command;
    }
    return true;
}

// The hook thread's loop: messages handled (the system calls the hooks while they are), then the
// zoom commands the hooks took are posted, so that no hook call waits for a posting.
void RunHookLoop() {
    for (;;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return;
            }
            DispatchMessageA(&message);
        }
        PostWheelZoomCommands();
    }
}

DWORD WINAPI RunHooks(LPVOID parameter) {
    HookStart* start = static_cast<HookStart*>(parameter);
    MSG message;
    PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // the thread's queue
    AimWheelZoom(start->target, start->keys);
    const HMODULE program = GetModuleHandleA(nullptr);
    HHOOK keyboard = SetWindowsHookExA(WH_KEYBOARD_LL, WheelZoomKeyHook, program, 0);
    HHOOK mouse = SetWindowsHookExA(WH_MOUSE_LL, WheelZoomMouseHook, program, 0);
    const bool hooked = keyboard != nullptr && mouse != nullptr;
    start->hooked = hooked;
    SetEvent(start->ready); // `start` is the starter's, gone from here on
    if (hooked) {
        RunHookLoop();
    }
    if (mouse != nullptr) {
        UnhookWindowsHookEx(mouse);
    }
    if (keyboard != nullptr) {
        UnhookWindowsHookEx(keyboard);
    }
    return 0;
}

} // namespace

void AimWheelZoom(HWND target, uint32_t keys) {
    wheelHook.target = target;
    wheelHook.keys = keys;
    wheelHook.rest = 0;
    wheelHook.pendingCount = 0;
    wheelHook.modifiers = ModifierTracker{};
    const uint32_t held = SystemModifiers(kHeldCtrl | kHeldAlt | kHeldShift | kHeldWin);
    for (const HeldKey& key : kHeldKeys) {
        if ((held & key.held) != 0) {
            TrackKey(&wheelHook.modifiers, static_cast<uint32_t>(key.virtualKey), true);
        }
    }
}

bool WheelZoomTakes(int code, WPARAM wParam, LPARAM lParam) {
    return code == HC_ACTION && wParam == WM_MOUSEWHEEL &&
           TakeWheel(wheelHook, *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam));
}

LRESULT CALLBACK WheelZoomMouseHook(int code, WPARAM wParam, LPARAM lParam) {
    return WheelZoomTakes(code, wParam, lParam) ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

void PostWheelZoomCommands() {
    for (int i = 0; i < wheelHook.pendingCount; ++i) {
        PostMessageA(wheelHook.target, WM_COMMAND, wheelHook.pending[i], 0);
    }
    wheelHook.pendingCount = 0;
}

LRESULT CALLBACK WheelZoomKeyHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const KBDLLHOOKSTRUCT& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        TrackKey(&wheelHook.modifiers, key.vkCode, (key.flags & LLKHF_UP) == 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool StartWheelZoom(HWND target, uint32_t keys) {
    StopWheelZoom();
    HookStart start = {CreateEventA(nullptr, TRUE, FALSE, nullptr), keys, target, false};
    if (start.ready == nullptr) {
        return false;
    }
    wheelHook.thread = CreateThread(nullptr, 0, RunHooks, &start, 0, &wheelHook.threadId);
    if (wheelHook.thread != nullptr) {
        WaitForSingleObject(start.ready, INFINITE);
    }
    CloseHandle(start.ready);
    if (!start.hooked) {
        StopWheelZoom();
    }
    return start.hooked;
}

void StopWheelZoom() {
    if (wheelHook.thread == nullptr) {
        return;
    }
    PostThreadMessageA(wheelHook.threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(wheelHook.thread, kThreadWaitMs);
    CloseHandle(wheelHook.thread);
    wheelHook.thread = nullptr;
    wheelHook.threadId = 0;
}
