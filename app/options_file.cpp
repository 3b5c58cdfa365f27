#include "options_file.h"

#include <string>

#include "appdata_folder.h"
#include "scoped_handles.h"

namespace {

const char kOptionsFileName[] = "options.ini";
const char kNewOptionsFileName[] = "options.new";

struct OptionsPaths {
    char file[kPathCapacity];
    char newFile[kPathCapacity];
};

// Both paths in the application-data folder; false without that folder (no options are then
// read or written: a bare name would lie in whatever folder is current).
bool ComposeOptionsPaths(OptionsPaths* paths) {
    char folder[kPathCapacity];
    return ComposeAppDataFolder(folder, nullptr) &&
           JoinPath(paths->file, kPathCapacity, folder, kOptionsFileName) &&
           JoinPath(paths->newFile, kPathCapacity, folder, kNewOptionsFileName);
}

enum class FileState { kRead, kMissing, kUnreadable };

FileState ReadOptionsFile(const char* path, OptionsText* text) {
    UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? FileState::kMissing
                   : FileState::kUnreadable;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        size.QuadPart > static_cast<LONGLONG>(kMaxOptionsFileBytes)) {
        return FileState::kUnreadable;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        return FileState::kUnreadable;
    }
    *text = ParseOptionsText(bytes);
    return FileState::kRead;
}

bool WriteWhole(const char* path, const std::string& bytes) {
    UniqueFile file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
    if (!file) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size() && FlushFileBuffers(file.Get());
}

bool ReadOnly(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// The save of one change: the file as it is on disk now, changed by `edit`, through the new file.
template <class Edit> int SaveEdited(Edit edit) {
    OptionsPaths paths;
    OptionsText text;
    if (!ComposeOptionsPaths(&paths) ||
        ReadOptionsFile(paths.file, &text) == FileState::kUnreadable || ReadOnly(paths.file)) {
        return 0;
    }
    edit(text);
    if (!WriteWhole(paths.newFile, OptionsTextBytes(text))) {
        DeleteFileA(paths.newFile);
        return 0;
    }
    if (!MoveFileExA(paths.newFile, paths.file,
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(paths.newFile);
        return 0;
    }
    return 1;
}

} // namespace

ProgramOptions LoadOptions() {
    OptionsPaths paths;
    OptionsText text;
    if (ComposeOptionsPaths(&paths)) {
        ReadOptionsFile(paths.file, &text);
    }
    return ReadProgramOptions(text);
}

int SaveOption(const ProgramOptions& options, OptionId id) {
    return SaveEdited([&](OptionsText& text) { WriteProgramOption(text, options, id); });
}

int SaveFilterChoice(const ProgramOptions& options) {
    return SaveEdited([&](OptionsText& text) { WriteFilterChoice(text, options); });
}
