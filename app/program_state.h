// The program-wide state the tray program's parts share, one instance each for the life of the
// process.
#pragma once

#include <windows.h>

#include "program_options.h"
#include "settings_logic.h"

extern HINSTANCE programInstance; // the program's module: resources and the start sound
extern HWND mainWindow;           // the hidden main window, empty until it exists

// The settings record: loaded once at start, handed to the engine from byte 8 on, so it stays at
// this one address for the life of the program.
extern SettingsRecord settings;
// The sizes kept next to the record in memory only.
extern LensSizes lensSizes;
// The options of the options file, loaded once at start; their engine part is handed to the
// engine after every change.
extern ProgramOptions programOptions;
