// Start with Windows: the value "Vexlume" under the current user's
// SOFTWARE\Microsoft\Windows\CurrentVersion\Run key. The registry is the truth; the settings
// dialog reads it each time it opens and writes it on OK.
#pragma once

// 1 when the value exists, whatever its data and however long; 0 otherwise.
int RunEntryPresent();

// `on` nonzero writes the value with this program's quoted path and " /a"; zero deletes it.
// Returns 1 on success, 0 when the key cannot be opened, the program's path is cut short or the
// registry refuses.
int SetRunEntry(int on);
