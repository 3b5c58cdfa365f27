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

// True once LoadSettings has accepted the file or SaveSettings has written it: the record in
// memory is one the user saved, whatever it holds (an empty On/Off key is a choice, too).
bool SettingsStored();

// Sets the signature and the version of the record in memory.
void StampSettingsHeader(SettingsRecord* record);

// Writes the 124 bytes of the record as the whole file. They go first into "settings.new" beside
// it, which then takes the old file's place, so a save that fails at any step leaves the previous
// file whole. Returns 1 when the new file is in place, 0 when the file on disk is unchanged.
// Through the bare names (no application-data folder) a file of either name that is neither
// empty nor a settings file belongs to someone else: the save then leaves it and returns 0.
int SaveSettings(const SettingsRecord& record);
