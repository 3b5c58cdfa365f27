// The settings dialog "SETUP": every setting of the record, the eleven hot keys and start with
// Windows, taken and saved to the settings file by OK. The rules that need no window are in
// settings_form.h; this is the dialog around them.
#pragma once

#include <windows.h>

// Command 6000: runs the dialog modally with the lens off, or brings an open dialog forward.
// Returns when the dialog has ended; a lens that was on before is then switched on again.
void OpenSettings();

// The commands of the dialog's controls (1003 to 1037), as the dispatcher receives them from
// `window` with `wParam`. Commands that do not come from the open dialog do nothing.
void HandleSettingsCommand(HWND window, WPARAM wParam);

// Shows the hot keys in use in the open dialog's hot-key controls; nothing while it is closed.
void ShowHotKeysInOpenSettings();
