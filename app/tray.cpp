#include "tray.h"

#include <shellapi.h>

#include "command_ids.h"
#include "menu_texts.h"
#include "plugin_list.h"
#include "program_state.h"
#include "start_sound.h"

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
        DestroyMenu(trayMenu); // destroys the attached Plug-Ins submenu with it
        trayMenu = nullptr;
        pluginMenu = nullptr;
    }
}
