#include "program_folder.h"

#include <windows.h>

#include "command_line.h"

bool ProgramFolder(char* folder) {
    char module[kPathCapacity];
    const DWORD length = GetModuleFileNameA(nullptr, module, kPathCapacity);
    return length != 0 && length < kPathCapacity && FolderOfPath(folder, kPathCapacity, module);
}

bool ProgramFilePath(char* path, const char* name) {
    char folder[kPathCapacity];
    return ProgramFolder(folder) && JoinPath(path, kPathCapacity, folder, name);
}
