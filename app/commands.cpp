#include "commands.h"

#include "about_box.h"
#include "command_ids.h"
#include "engine_binding.h"
#include "filter_key.h"
#include "hotkeys.h"
#include "lens_adjustments.h"
#include "option_commands.h"
#include "options_dialog.h"
#include "plugin_list.h"
#include "program_state.h"
#include "settings_dialog.h"
#include "tray.h"
#include "web_links.h"

namespace {

// Ends the program: the engine stopped, the hot keys and the tray icon gone, exit code 0.
// The settings file is not written.
void ExitProgram(HWND window) {
    SwitchLensOff();
    UnregisterAllHotKeys(mainWindow);
    RemoveTrayIcon();
    DestroyWindow(window);
    ExitProcess(0);
}

// Switches plug-in `index` of the last menu off (dll -> lib) or on (lib -> dll) by renaming its
// file, with the lens stopped meanwhile so that the engine loads the plug-ins afresh.
void SwitchPlugin(HWND window, int index) {
    const bool wasOn = LensIsOn();
    if (wasOn) {
        SwitchLensOff();
    }
    const std::string oldPath = PluginFilePath(pluginNames[index]);
    SwitchPluginExtension(pluginNames[index]);
    const std::string newPath = PluginFilePath(pluginNames[index]);
    if (!oldPath.empty() && !newPath.empty() && !MoveFileA(oldPath.c_str(), newPath.c_str()) &&
        GetLastError() == ERROR_ALREADY_EXISTS) {
        DeleteFileA(newPath.c_str());
        MoveFileA(oldPath.c_str(), newPath.c_str());
    }
    if (wasOn) {
        SwitchLensOn(window);
    }
}

// Takes the On/Off commands waiting next in the queue and returns how many it took. A switch off
// holds the main thread while the lens fades out, and a held hot key or a burst of clicks posts
// On/Off meanwhile: taken together, they cost at most one switch instead of one each.
int TakeQueuedToggles(HWND window) {
    int taken = 0;
    MSG next;
    while (PeekMessageA(&next, nullptr, 0, 0, PM_NOREMOVE | PM_NOYIELD) && next.hwnd == window &&
           next.message == WM_COMMAND && next.wParam == cmdToggle) {
        PeekMessageA(&next, window, WM_COMMAND, WM_COMMAND, PM_REMOVE | PM_NOYIELD);
        ++taken;
    }
    return taken;
}

} // namespace

int HandleCommand(HWND window, WPARAM wParam) {
    if (wParam >= cmdPluginFirst && wParam < cmdPluginFirst + static_cast<WPARAM>(pluginCount)) {
        SwitchPlugin(window, static_cast<int>(wParam - cmdPluginFirst));
        return 0;
    }
    const unsigned command = LOWORD(wParam);
    switch (command) {
    case cmdExit:
        ExitProgram(window);
        break;
    case cmdYield:
        WaitMessage();
        break;
    case cmdToggle:
        if (TakeQueuedToggles(window) % 2 == 0) {
            ToggleLens(window); // an odd number of switches in all
        }
        break;
    case cmdVisitWebsite:
        OpenWebPage(WebPage::Start);
        break;
    case cmdSettings:
        OpenSettings();
        break;
    case cmdOptions:
        OpenOptions();
        break;
    case cmdNextView:
        StepToNextView();
        break;
    case cmdSmoothToggle:
        ToggleSmoothImage();
        break;
    case cmdNextFilter:
        StepToNextFilter();
        break;
    case cmdAbout:
        ShowAboutBox();
        break;
    case cmdGetPlugins:
        OpenWebPage(WebPage::PlugIns);
        break;
    default:
        if (command >= cmdZoomIn && command <= cmdLockToggle) {
            RunLensAdjustment(window, command);
        } else if (command >= cmdViewFirst && command < cmdViewFirst + kViewCount) {
            ChangeOption(kOptionView, command - cmdViewFirst);
        } else if (command >= cmdTrackingFirst && command < cmdTrackingFirst + kTrackingCount) {
            ChangeOption(kOptionTracking, command - cmdTrackingFirst);
        } else if (command >= cmdSettingsFirst && command <= cmdSettingsLast) {
            HandleSettingsCommand(window, wParam);
        }
        break;
    }
    return 0;
}
