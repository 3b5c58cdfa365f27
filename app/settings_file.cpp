#include "settings_file.h"

#include <cstring>

#include "appdata_folder.h"
#include "scoped_handles.h"
#include "settings_logic.h"

namespace {

// Where the settings file lies, as the last LoadSettings found it, and what it holds.
struct SettingsFile {
    char path[kPathCapacity] = {};
    char newPath[kPathCapacity] = {}; // the save's first step, beside the file
    // False when the application-data folder could not be had and the bare names are used: names
    // relative to whatever folder is current.
    bool inFolder = false;
    // A record of ours is on disk: accepted at load or written since.
    bool recordStored = false;
};

SettingsFile settingsFile;

const char kSettingsFileName[] = "settings.dat";
const char kNewSettingsFileName[] = "settings.new";

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

// Through the bare names only a file that holds nothing a save could lose is replaced: the
// current directory may hold another program's file of the same name.
bool MayReplace(const char* path) {
    if (settingsFile.inFolder) {
        return true;
    }
    UniqueFile file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    LARGE_INTEGER size;
    unsigned char bytes[kSettingsRecordSize];
    return (GetFileSizeEx(file.Get(), &size) && size.QuadPart == 0) ||
           (ReadRecordBytes(file.Get(), bytes) &&
            std::memcmp(bytes, kSettingsMagic, sizeof(kSettingsMagic)) == 0);
}

} // namespace

const char* SettingsFilePath() {
    return settingsFile.path;
}

int LoadSettings(SettingsRecord* record) {
    char folder[kPathCapacity];
    ComposeAppDataFolder(folder, nullptr);
    const int fileInFolder =
        FileInFolder(settingsFile.path, kPathCapacity, folder, kSettingsFileName);
    const int newInFolder =
        FileInFolder(settingsFile.newPath, kPathCapacity, folder, kNewSettingsFileName);
    settingsFile.inFolder = fileInFolder && newInFolder;

    unsigned char bytes[kSettingsRecordSize];
    UniqueFile file(CreateFileA(settingsFile.path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    const bool complete = file && ReadRecordBytes(file.Get(), bytes);
    const int accepted =
        AcceptSettingsBytes(complete ? bytes : nullptr, complete ? sizeof(bytes) : 0, record);
    settingsFile.recordStored = accepted != 0;
    return accepted;
}

bool SettingsStored() {
    return settingsFile.recordStored;
}

void StampSettingsHeader(SettingsRecord* record) {
    std::memcpy(record->magic, kSettingsMagic, sizeof(record->magic));
    record->version = kSettingsVersion;
}

int SaveSettings(const SettingsRecord& record) {
    if (!MayReplace(settingsFile.newPath) || !MayReplace(settingsFile.path)) {
        return 0;
    }
    {
        UniqueFile file(CreateFileA(settingsFile.newPath, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!file) {
            return 0;
        }
        DWORD written = 0;
        const bool complete = WriteFile(file.Get(), &record, sizeof(record), &written, nullptr) &&
                              written == sizeof(record) && FlushFileBuffers(file.Get());
        if (!complete) {
            file.Reset();
            DeleteFileA(settingsFile.newPath);
            return 0;
        }
    }
    if (!MoveFileExA(settingsFile.newPath, settingsFile.path,
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(settingsFile.newPath);
        return 0;
    }
    settingsFile.recordStored = true;
    return 1;
}
