#include "appdata_folder.h"

#include "scoped_handles.h"

namespace {

typedef BOOL(WINAPI* GetSpecialFolderPathFn)(HWND, LPSTR, int, BOOL);

constexpr int kCsidlAppData = 0x1A;

bool IsFolder(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A folder made meanwhile by another process counts as made.
bool EnsureFolder(const char* path) {
    return IsFolder(path) || CreateDirectoryA(path, nullptr) || IsFolder(path);
}

bool AppendLevel(char* path, const char* level) {
    return JoinPath(path, kPathCapacity, path, level) && EnsureFolder(path);
}

bool ComposeLevels(char* path, const char* thirdLevel) {
    UniqueModule shell(LoadLibraryA("shell32.dll"));
    auto getFolder = BindProc<GetSpecialFolderPathFn>(shell.Get(), "SHGetSpecialFolderPathA");
    if (getFolder == nullptr) {
        return false;
    }
    if (!getFolder(nullptr, path, kCsidlAppData, TRUE) || path[0] == '\0') {
        return false;
    }
    if (!EnsureFolder(path) || !AppendLevel(path, "Drelmont") || !AppendLevel(path, "Vexlume")) {
        return false;
    }
    return thirdLevel == nullptr || AppendLevel(path, thirdLevel);
}

} // namespace

int ComposeAppDataFolder(char* path, const char* thirdLevel) {
    char composed[kPathCapacity] = {};
    if (!ComposeLevels(composed, thirdLevel)) {
        path[0] = '\0';
        return 0;
    }
    lstrcpynA(path, composed, kPathCapacity);
    return 1;
}
