#include "main_window.h"

#include "command_ids.h"
#include "commands.h"
#include "dock_recovery.h"
#include "engine_binding.h"
#include "hotkeys.h"
#include "options_file.h"
#include "pointer_recovery.h"
#include "program_state.h"
#include "settings_file.h"
#include "start_sound.h"
#include "tray.h"

namespace {

// "TaskbarCreated": the taskbar was made anew, and the icon is added again.
UINT taskbarCreatedMessage = 0;

// WM_INITDIALOG: settings and options, the On/Off hot key, the tray icon and the start sound.
void InitialiseMainWindow(HWND window) {
    mainWindow = window;
    RecoverHiddenPointer();
    RecoverDockedStrip();
    LoadSettings(&settings);
    lensSizes = LensSizes{};
    DeriveSourceSize(&settings, &lensSizes);
    lensSizes.baseLensWidth = settings.engine.lensWidth;
    lensSizes.baseLensHeight = settings.engine.lensHeight;
    programOptions = LoadOptions();
    RegisterHotKeySlot(window, 0);
    AddTrayIcon();
    taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    if (settings.sound != 0) {
        PlayStartSound(programInstance);
    }
    if (settings.showOnStart != 0) {
        PostMessageA(window, WM_COMMAND, cmdToggle, 0);
    }
}

} // namespace

// WM_CLOSE is left to the dialog manager, which turns it into command 2 (IDCANCEL): Exit.
INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitialiseMainWindow(window);
        return TRUE;
    case WM_COMMAND:
        HandleCommand(window, wParam);
        return TRUE;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetStockObject(BLACK_BRUSH));
    case WM_EXITMENULOOP:
        CloseTrayMenus();
        return FALSE;
    case WM_HOTKEY:
        RouteHotKey(window, lParam);
        return TRUE;
    case kTrayCallbackMessage:
        OnTrayNotify(window, wParam, lParam);
        return TRUE;
    case kMatchHotKeysMessage:
        MatchAdjustmentHotKeys(window);
        return TRUE;
    default:
        if (taskbarCreatedMessage != 0 && message == taskbarCreatedMessage) {
            AddTrayIcon();
        }
        return FALSE;
    }
}
