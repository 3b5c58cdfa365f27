#include "program_state.h"

HINSTANCE programInstance = nullptr;
HWND mainWindow = nullptr;
HANDLE instanceMapping = nullptr;
UINT taskbarCreatedMessage = 0;
SettingsRecord settings;
LensSizes lensSizes;
