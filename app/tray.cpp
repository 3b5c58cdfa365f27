#include "tray.h"

#include <shellapi.h>

#include "command_ids.h"
#include "menu_texts.h"
#include "plugin_list.h"
#include "program_state.h"
#include "start_sound.h"
#include "system_language.h"

namespace {

HMENU trayMenu = nullptr;   // the popup menu while it is open
HMENU pluginMenu = nullptr; // its Plug-Ins submenu while it is open

// The record of the icon as added, kept for its removal: the first, 88-byte form.
NOTIFYICONDATAA trayIconData;

const char kTip[] = "Vexlume";

HICON LoadTrayIcon(const char* name) {
    return static_cast<HICON>(LoadImageA(programInstance, name, IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), 0));
}

NOTIFYICONDATAA IconRecord(HWND owner, UINT flags) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner;
    data.uID = kTrayIconId;
    data.uFlags = flags;
    data.uCallbackMessage = kTrayCallbackMessage;
    return data;
}

// Where the menu opens: its bottom-left corner at the top-left corner of the notification area,
// or at the pointer when there is none.
POINT MenuPosition() {
    POINT at = {};
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    HWND area =
        taskbar != nullptr ? FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr) : nullptr;
    RECT r;
    if (area != nullptr && GetWindowRect(area, &r)) {
        at.x = r.left;
        at.y = r.top;
    } else {
        GetCursorPos(&at);
    }
    return at;
}

// An item of a group of which one is chosen, drawn with a dot when it is the chosen one.
void AppendRadioItem(HMENU menu, UINT command, const char* text, bool chosen) {
    MENUITEMINFOA item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    item.fType = MFT_STRING | MFT_RADIOCHECK;
    item.fState = chosen ? MFS_CHECKED : MFS_UNCHECKED;
    item.wID = command;
    item.dwTypeData = const_cast<char*>(text);
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &item);
}

// The View submenu: the three views, then how the full-screen view follows.
HMENU BuildViewMenu() {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return nullptr;
    }
    const bool russian = UsesRussianTexts(GetSystemDefaultLangID());
    const EngineOptions& options = programOptions.engine;
    for (uint32_t view = 0; view < kViewCount; ++view) {
        AppendRadioItem(menu, cmdViewFirst + view, OptionChoiceText(kOptionView, view, russian),
                        view == options.view);
    }
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    for (uint32_t tracking = 0; tracking < kTrackingCount; ++tracking) {
        AppendRadioItem(menu, cmdTrackingFirst + tracking,
                        OptionChoiceText(kOptionTracking, tracking, russian),
                        tracking == options.tracking);
    }
    return menu;
}

// Attaches `submenu` to the tray menu, or destroys it when it cannot be.
void AppendSubmenu(HMENU submenu, const char* text) {
    if (submenu != nullptr &&
        !AppendMenuA(trayMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), text)) {
        DestroyMenu(submenu);
    }
}

} // namespace

void AddTrayIcon() {
    trayIconData = IconRecord(mainWindow, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    trayIconData.hIcon = LoadTrayIcon("M");
    lstrcpynA(trayIconData.szTip, kTip, sizeof(trayIconData.szTip));
    Shell_NotifyIconA(NIM_ADD, &trayIconData);
    if (trayIconData.hIcon != nullptr) {
        DestroyIcon(trayIconData.hIcon);
        trayIconData.hIcon = nullptr;
    }
}

void SetTrayIcon(HWND owner, int state) {
    NOTIFYICONDATAA data = IconRecord(owner, NIF_MESSAGE | NIF_ICON);
    data.hIcon = LoadTrayIcon(state > 1 ? "M2" : "M");
    Shell_NotifyIconA(NIM_MODIFY, &data);
    if (data.hIcon != nullptr) {
        DestroyIcon(data.hIcon);
    }
}

void RemoveTrayIcon() {
    Shell_NotifyIconA(NIM_DELETE, &trayIconData);
}

int BuildPluginMenu(HWND, HMENU submenu) {
    ListPluginFolder();
    for (int i = 0; i < pluginCount; ++i) {
        const std::string text = PluginMenuText(pluginNames[i]);
        const UINT checked = ClassifyPluginFile(pluginNames[i]) == kPluginOn ? MF_CHECKED : 0;
        AppendMenuA(submenu, MF_STRING | checked, cmdPluginFirst + i, text.c_str());
    }
    AppendMenuA(submenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(submenu, MF_STRING, cmdGetPlugins, kGetMorePluginsText);
    return pluginCount;
}

void OnTrayNotify(HWND window, WPARAM, LPARAM lParam) {
    if (lParam != WM_LBUTTONUP && lParam != WM_RBUTTONUP) {
        return;
    }
    if (trayMenu != nullptr) {
        return; // the menu is open already
    }
    if (settings.sound != 0) {
        PlayStartSound(programInstance);
    }
    trayMenu = CreatePopupMenu();
    if (trayMenu == nullptr) {
        return;
    }
    const TrayMenuTexts& texts = TrayMenuTextsFor(GetSystemDefaultLangID());
    AppendMenuA(trayMenu, MF_STRING, cmdVisitWebsite, texts.visitWebsite);
    AppendMenuA(trayMenu, MF_STRING, cmdAbout, texts.about);
    AppendMenuA(trayMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(trayMenu, MF_STRING, cmdSettings, texts.settings);
    AppendMenuA(trayMenu, MF_STRING, cmdOptions, texts.options);
    AppendMenuA(trayMenu, MF_STRING | (programOptions.engine.smooth != 0 ? MF_CHECKED : 0),
                cmdSmoothToggle, texts.smoothImage);
    AppendSubmenu(BuildViewMenu(), texts.view);
    pluginMenu = CreatePopupMenu();
    if (pluginMenu != nullptr) {
        BuildPluginMenu(window, pluginMenu);
        if (!AppendMenuA(trayMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(pluginMenu),
                         texts.plugIns)) {
            DestroyMenu(pluginMenu);
            pluginMenu = nullptr;
        }
    }
    AppendMenuA(trayMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(trayMenu, MF_STRING, cmdToggle, texts.showHide);
    AppendMenuA(trayMenu, MF_STRING, cmdExit, texts.exit);

    const POINT at = MenuPosition();
    SetForegroundWindow(window);
    TrackPopupMenu(trayMenu, TPM_LEFTALIGN | TPM_BOTTOMALIGN, at.x, at.y, 0, window, nullptr);
    PostMessageA(window, WM_NULL, 0, 0);
    // Normally gone with the menu loop; a menu that never opened is not left behind.
    CloseTrayMenus();
}

void CloseTrayMenus() {
    if (trayMenu != nullptr) {
        DestroyMenu(trayMenu); // destroys the attached submenus with it
        trayMenu = nullptr;
        pluginMenu = nullptr;
    }
}
