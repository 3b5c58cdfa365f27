// The icon in the taskbar's notification area and its popup menu with the View and Plug-Ins
// submenus.
#pragma once

#include <windows.h>

// The message the icon sends to the main window; lParam is the mouse message.
constexpr UINT kTrayCallbackMessage = 15000;
constexpr UINT kTrayIconId = 333;

// Adds the icon "M" with the tip "Vexlume" for mainWindow; at start and whenever the taskbar is
// made anew.
void AddTrayIcon();
// Shows icon "M2" (state above 1, while the engine stops) or "M".
void SetTrayIcon(HWND owner, int state);
// Removes the icon added by AddTrayIcon.
void RemoveTrayIcon();

// The icon's callback message: a left or right click opens the menu.
void OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam);
// Lists the plug-in folder into `submenu`; returns the number of plug-in entries.
int BuildPluginMenu(HWND window, HMENU submenu);
// WM_EXITMENULOOP: the menus are destroyed when their menu loop ends.
void CloseTrayMenus();
