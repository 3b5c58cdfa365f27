// The numbered commands of the main window: menu identifiers, posted hot-key commands and the
// engine's requests all use these numbers as the low word of WM_COMMAND's wParam.
#pragma once

enum Command : unsigned {
    cmdExit = 2,             // also IDCANCEL: WM_CLOSE at the main window arrives as this command
    cmdSettingsFirst = 1003, // 1003 to 1037: the settings dialog's controls (resource_ids.h)
    cmdSettingsLast = 1037,
    cmdSettings = 6000,
    cmdOptions = 6001,
    cmdYield = 8000, // sent by the engine callback: wait for the next message
    cmdToggle = 8002,
    cmdVisitWebsite = 8004,
    cmdAbout = 8005,
    cmdZoomIn = 9001,
    cmdZoomOut = 9002,
    cmdSizeUp = 9003,
    cmdSizeDown = 9004,
    cmdCapture = 9005,
    cmdBrightnessUp = 9006,
    cmdBrightnessDown = 9007,
    cmdTransparentUp = 9008,
    cmdTransparentDown = 9009,
    cmdLockToggle = 9010,
    cmdNextView = 9100,      // Lens, Full screen, Docked, Lens...
    cmdViewFirst = 9101,     // + EngineView: the View submenu's views
    cmdTrackingFirst = 9111, // + ViewTracking: the View submenu's full-screen tracking
    cmdSmoothToggle = 9200,  // smooth or sharp scaling
    cmdNextFilter = 9350,    // no filter, each installed filter in turn, no filter...
    cmdPluginFirst = 10000,  // + index in the plug-in list of the last menu opening
    cmdGetPlugins = 11025,
};
