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

bool IsFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
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
    char path[kPathCapacity];
    if (LoadedAtTheStart(*table, on) || !ComposePluginFolder(folder)) {
        return;
    }
    const bool switchedOn = PluginPathInFolder(path, folder, on) && IsFile(path);
    LoadPlugin(&chosen.record, folder, switchedOn ? on : off, table->lensHeight, table->lensWidth);
    if (chosen.record.filter != nullptr && chosen.record.state == 0) {
        NoteUnusableFilter(&chosen); // it declined or faulted in vxpiInit
    }
}
