// Reads an open popup menu from inside the process that owns it. Menus cannot be read across
// processes everywhere (Wine keeps their items in the owning process), so the test hooks the
// owner's thread with menu_probe.dll, which copies the items into named shared memory.
#pragma once

#include <windows.h>

#define VX_MENU_PROBE_STATE "VxMenuProbeState"

// The largest menu: the fixed items and a Plug-Ins submenu of 1024 plug-ins.
constexpr int kMenuProbeItems = 1100;
constexpr int kMenuProbeText = 128;

struct MenuProbeItem {
    int depth;  // 0 for the popup menu, 1 for the items of its submenus
    UINT id;    // command number, or -1 for a submenu
    UINT state; // GetMenuState flags: MF_CHECKED, MF_SEPARATOR, MF_POPUP
    wchar_t text[kMenuProbeText];
};

struct MenuProbeState {
    volatile LONG done;
    LONG count;
    MenuProbeItem items[kMenuProbeItems];
};
