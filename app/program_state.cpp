#include "program_state.h"

HINSTANCE programInstance = nullptr;
HWND mainWindow = nullptr;
SettingsRecord settings;
LensSizes lensSizes;
ProgramOptions programOptions = DefaultProgramOptions();
