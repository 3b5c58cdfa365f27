#include "filter_choice.h"

#include <cstdio>

namespace {

bool SameName(const char* a, const char* b) {
    return lstrcmpiA(a, b) == 0;
}

bool Unusable(const ChosenFilter& chosen, const char* name) {
    for (size_t i = 0; i < chosen.unusableCount; ++i) {
        if (SameName(chosen.unusable[i], name)) {
            return true;
        }
    }
    return false;
}

// A switched-on file that the run found, and loaded when it could, at its start.
bool LoadedAtTheStart(const PluginTable& table, const char* file) {
    for (size_t i = 0; i < table.count; ++i) {
        if (SameName(table.records[i].fileName, file)) {
            return true;
        }
    }
    return false;
}

// The name the file `name` of `folder` has on the disk, in its own case, into `found`
// (kPathCapacity characters); false when there is no such file.
bool FindFile(const char* folder, const char* name, char* found) {
    char path[kPathCapacity];
    WIN32_FIND_DATAA data;
    if (!PluginPathInFolder(path, folder, name)) {
        return false;
    }
    const HANDLE search = FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    lstrcpynA(found, data.cFileName, kPathCapacity);
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

void NoteUnusableFilter(ChosenFilter* chosen) {
    if (chosen->unusableCount < kFaultedFilterCount && !Unusable(*chosen, chosen->name)) {
        lstrcpynA(chosen->unusable[chosen->unusableCount++], chosen->name, kFilterNameCapacity);
    }
}

void ChooseFilter(PluginTable* table, const char (&name)[kFilterNameCapacity]) {
    ChosenFilter& chosen = table->chosen;
    if (SameName(chosen.name, name)) {
        return;
    }
    if (!ReleasePlugin(&chosen.record)) {
        NoteUnusableFilter(&chosen);
    }
    chosen.record = PluginRecord{};
    lstrcpynA(chosen.name, name, kFilterNameCapacity);
    if (!IsPlainFileName(name) || Unusable(chosen, name)) {
        return;
    }
    char on[kFilterNameCapacity];
    char off[kFilterNameCapacity];
    std::snprintf(on, sizeof(on), "%s.dll", name);
    std::snprintf(off, sizeof(off), "%s.lib", name);
    char folder[kPathCapacity];
    char file[kPathCapacity];
    if (LoadedAtTheStart(*table, on) || !ComposePluginFolder(folder) ||
        !(FindFile(folder, on, file) || FindFile(folder, off, file))) {
        return;
    }
    LoadPlugin(&chosen.record, folder, file, table->lensHeight, table->lensWidth);
    if (chosen.record.filter != nullptr && chosen.record.state == 0) {
        NoteUnusableFilter(&chosen); // it declined or faulted in vxpiInit
    }
}
