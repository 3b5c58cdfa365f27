// The hook library of menu_probe.h: when the menu window receives MN_GETHMENU on its own thread,
// it reads that menu with the thread's own user32 and writes the items to the shared block.
#include "menu_probe.h"

namespace {

#ifndef MN_GETHMENU
#define MN_GETHMENU 0x01E1
#endif

bool g_reading = false;

void AddItems(MenuProbeState* state, HMENU menu, int depth) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count && state->count < kMenuProbeItems; ++i) {
        MenuProbeItem& item = state->items[state->count++];
        item.depth = depth;
        item.id = GetMenuItemID(menu, i);
        item.state = GetMenuState(menu, i, MF_BYPOSITION);
        item.text[0] = L'\0';
        GetMenuStringW(menu, i, item.text, kMenuProbeText, MF_BYPOSITION);
        HMENU submenu = GetSubMenu(menu, i);
        if (submenu != nullptr && depth == 0) {
            AddItems(state, submenu, depth + 1);
        }
    }
}

void ReadMenu(HWND menuWindow) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, VX_MENU_PROBE_STATE);
    if (mapping == nullptr) {
        return;
    }
    auto* state = static_cast<MenuProbeState*>(
        MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(MenuProbeState)));
    if (state != nullptr) {
        g_reading = true;
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        g_reading = false;
        state->count = 0;
        if (menu != nullptr) {
            AddItems(state, menu, 0);
        }
        InterlockedExchange(&state->done, 1);
        UnmapViewOfFile(state);
    }
    CloseHandle(mapping);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    MenuProbeHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && !g_reading && message->message == MN_GETHMENU) {
        ReadMenu(message->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
