#include "program_state.h"

HINSTANCE programInstance = nullptr;
HWND mainWindow = nullptr;
HANDLE instanceMapping = nullptr;
CRITICAL_SECTION engineLock;
UINT taskbarCreatedMessage = 0;
SettingsRecord settings;
LensSizes lensSizes;
