// The settings file "settings.dat": 124 bytes, the whole settings record.
#pragma once

#include <windows.h>

#include "settings_record.h"

// The path used by the last LoadSettings, for saving: in the application-data folder, or the
// bare file name in the current directory when that folder cannot be had.
const char* SettingsFilePath();

// Fills the record from the file. Returns 1 when the file was accepted, 0 when the defaults were
// set (missing file, wrong size, short read, wrong signature or version). Never writes the file.
int LoadSettings(SettingsRecord* record);

// Opens the file for a save, truncating it. INVALID_HANDLE_VALUE when it cannot be created, and
// when the bare name is in use and names a file that is neither empty nor a settings file (it
// belongs to someone else and is left as it is).
HANDLE CreateSettingsFile();

// Sets the signature and the version of the record in memory.
void StampSettingsHeader(SettingsRecord* record);

// Writes the 124 bytes of the record in one call and closes the file.
void WriteSettingsFile(HANDLE file, const SettingsRecord* record);
