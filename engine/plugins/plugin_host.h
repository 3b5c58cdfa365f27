// The plug-ins of one run of the lens: found in the plug-in folder and offered the lens size at
// start, handed every captured frame while the run lasts, released and freed at its end. Every
// function runs on the magnifier thread. Plug-in code is always called through CallGuarded: a
// plug-in that faults is reported with its file name and gets no further call in the run.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine_options.h"
#include "path_join.h"
#include "plugin_folder.h"
#include "vxpi.h"

struct PluginRecord {
    HMODULE module = nullptr; // null when it did not load, declined, faulted at start or is freed
    int32_t state = 0;        // the result of vxpiInit; 0 = inactive
    VxpiInitFn init = nullptr;
    VxpiReleaseFn release = nullptr;
    VxpiFilterFn filter = nullptr;
    char fileName[kPathCapacity] = {}; // the file's name in the plug-in folder, for reports
};

// The filter chosen at a key (filter_choice.h): one plug-in file, switched on or off, loaded
// during the run and used before the folder's plug-ins.
constexpr size_t kFaultedFilterCount = 8;
struct ChosenFilter {
    PluginRecord record;                 // no module and state 0 while none is in use
    char name[kFilterNameCapacity] = {}; // the name chosen last; empty for none
    // Chosen filters that faulted or declined in this run: not loaded again until the next run.
    char unusable[kFaultedFilterCount][kFilterNameCapacity] = {};
    size_t unusableCount = 0;
};

// One record per file found, in the order the file system listed them. The table never holds
// more records than the counting pass found files; a destroyed table releases what it holds.
struct PluginTable {
    PluginTable() = default;
    ~PluginTable();
    PluginTable(const PluginTable&) = delete;
    PluginTable& operator=(const PluginTable&) = delete;

    std::unique_ptr<PluginRecord[]> records;
    size_t capacity = 0; // the files the counting pass found
    size_t count = 0;    // the records the loading pass filled
    ChosenFilter chosen;
    int lensHeight = 0; // of the run, offered to a filter chosen during it
    int lensWidth = 0;
};

// The counting pass: the files in `folder` whose names end in ".dll" (any case). 0 for an empty
// folder path.
size_t CountPluginFiles(const char* folder);

// Makes the table empty with room for `capacity` records; no records at all for 0.
void ReservePluginTable(PluginTable* table, size_t capacity);

// The loading pass over the same files, as the file system lists them now: each takes the next
// record while there is room (files added since the count are left out), is loaded by its path
// in `folder` and, when it has all three entry points, is offered vxpiInit(lensHeight,
// lensWidth, 32). A path that does not fit in 260 characters is not loaded. A plug-in that
// declines or faults in vxpiInit is freed at once; a fault is reported.
void LoadPluginFiles(PluginTable* table, const char* folder, int lensHeight, int lensWidth);

// Loads the file `name` of `folder` into `record` and offers it the lens, as the loading pass
// does for each file.
void LoadPlugin(PluginRecord* record, const char* folder, const char* name, int lensHeight,
                int lensWidth);
// Calls vxpiRelease when the plug-in is active and frees its library; the record is then empty
// but for its file name. False when vxpiRelease faulted (reported).
bool ReleasePlugin(PluginRecord* record);

// Start of a run: the folder, the count, the table and the loading pass.
void StartPlugins(PluginTable* table, int lensHeight, int lensWidth);

// True while at least one plug-in is active: only then is a frame worth locking for filtering.
bool PluginsActive(const PluginTable& table);
// True while an active plug-in returned 2 from vxpiInit and shows the image itself.
bool PluginsTakeOver(const PluginTable& table);

// Hands the locked frame to the chosen filter and then to every active plug-in in table order;
// each sees what the ones before it left. A plug-in that faults is reported and switched off for
// the rest of the run.
void FilterFrame(PluginTable* table, DDSURFACEDESC* frame);

// End of a run, in table order: vxpiRelease for every active plug-in, then every library still
// loaded is freed; the chosen filter first. Leaves an empty table; safe to call again.
void ReleasePlugins(PluginTable* table);
