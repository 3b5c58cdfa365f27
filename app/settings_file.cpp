#include "settings_file.h"

#include <cstring>

#include "appdata_folder.h"
#include "scoped_handles.h"
#include "settings_logic.h"

namespace {

char g_settingsPath[kPathCapacity];
// False when the application-data folder could not be had and the bare name is used: a name
// relative to whatever folder is current.
bool g_settingsInFolder = false;

const char kSettingsFileName[] = "settings.dat";

// Reads the file when it holds exactly one record; false for any other size or a short read.
bool ReadRecordBytes(HANDLE file, unsigned char* bytes) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) ||
        size.QuadPart != static_cast<LONGLONG>(kSettingsRecordSize)) {
        return false;
    }
    DWORD read = 0;
    return ReadFile(file, bytes, kSettingsRecordSize, &read, nullptr) &&
           read == kSettingsRecordSize;
}

// True when the open file holds nothing a save could lose: it is empty or a settings file.
bool ReplaceableBySave(HANDLE file) {
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart == 0) {
        return true;
    }
    unsigned char bytes[kSettingsRecordSize];
    return ReadRecordBytes(file, bytes) &&
           std::memcmp(bytes, kSettingsMagic, sizeof(kSettingsMagic)) == 0;
}

} // namespace

const char* SettingsFilePath() {
    return g_settingsPath;
}

int LoadSettings(SettingsRecord* record) {
    char folder[kPathCapacity];
    ComposeAppDataFolder(folder, nullptr);
    g_settingsInFolder = FileInFolder(g_settingsPath, kPathCapacity, folder, kSettingsFileName);

    unsigned char bytes[kSettingsRecordSize];
    UniqueFile file(CreateFileA(g_settingsPath, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    const bool complete = file && ReadRecordBytes(file.Get(), bytes);
    return AcceptSettingsBytes(complete ? bytes : nullptr, complete ? sizeof(bytes) : 0, record);
}

HANDLE CreateSettingsFile() {
    if (g_settingsInFolder) {
        return CreateFileA(g_settingsPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_ALWAYS, 0, nullptr);
    }
    // Another program's file of the same name may lie in the current directory: only a file
    // that holds nothing a save could lose is replaced.
    UniqueFile file(CreateFileA(g_settingsPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_ALWAYS, 0, nullptr));
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    if (!file || (existed && !ReplaceableBySave(file.Get())) ||
        SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN) != 0 || !SetEndOfFile(file.Get())) {
        return INVALID_HANDLE_VALUE;
    }
    return file.Release();
}

void StampSettingsHeader(SettingsRecord* record) {
    std::memcpy(record->magic, kSettingsMagic, sizeof(record->magic));
    record->version = kSettingsVersion;
}

void WriteSettingsFile(HANDLE file, const SettingsRecord* record) {
    UniqueFile owned(file);
    DWORD written = 0;
    WriteFile(owned.Get(), record, sizeof(*record), &written, nullptr);
}
