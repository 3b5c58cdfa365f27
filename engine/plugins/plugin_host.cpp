#include "plugin_host.h"

#include <cstdio>
#include <cstring>

#include "error_reporter.h"
#include "filter_choice.h"
#include "plugin_guard.h"
#include "scoped_handles.h"

// The frame description the engine locks is handed to plug-ins as the kit's VxpiFrame.
static_assert(sizeof(DDSURFACEDESC) == sizeof(VxpiFrame), "one frame description");
static_assert(offsetof(DDSURFACEDESC, dwHeight) == offsetof(VxpiFrame, dwHeight), "height");
static_assert(offsetof(DDSURFACEDESC, dwWidth) == offsetof(VxpiFrame, dwWidth), "width");
static_assert(offsetof(DDSURFACEDESC, lPitch) == offsetof(VxpiFrame, lPitch), "pitch");
static_assert(offsetof(DDSURFACEDESC, lpSurface) == offsetof(VxpiFrame, lpSurface), "surface");
static_assert(offsetof(DDSURFACEDESC, ddpfPixelFormat.dwRGBBitCount) ==
                  offsetof(VxpiFrame, ddpfPixelFormat.dwRGBBitCount),
              "bit count");

namespace {

constexpr char kPluginPattern[] = "*.dll";
constexpr uint32_t kBitsPerPixel = 32;

struct FindTraits {
    using Value = HANDLE;
    static Value Empty() { return INVALID_HANDLE_VALUE; }
    static void Free(Value search) { FindClose(search); }
};
using UniqueFind = Scoped<FindTraits>;

// The pattern also matches longer extensions through their short names ("a.dllx" is "A~1.DLL");
// only names that really end in ".dll" count, as in the tray program's menu.
bool IsPluginFile(const WIN32_FIND_DATAA& found) {
    const size_t length = std::strlen(found.cFileName);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && length > 4 &&
           lstrcmpiA(found.cFileName + length - 4, ".dll") == 0;
}

// Calls `visit` with the name of every plug-in file in `folder` while it returns true.
template <class Visit> void ForEachPluginFile(const char* folder, Visit visit) {
    char pattern[kPathCapacity];
    if (!PluginPathInFolder(pattern, folder, kPluginPattern)) {
        return;
    }
    WIN32_FIND_DATAA found;
    UniqueFind search(FindFirstFileA(pattern, &found));
    if (!search) {
        return;
    }
    do {
        if (IsPluginFile(found) && !visit(found.cFileName)) {
            return;
        }
    } while (FindNextFileA(search.Get(), &found));
}

void ReportFault(const PluginRecord& record, const char* entryPoint, const PluginFault& fault) {
    char text[kPathCapacity + 64];
    std::snprintf(text, sizeof(text), "FAILED - %s - %s", entryPoint, record.fileName);
    ReportError(text, static_cast<int>(fault.code), "magnifier");
}

// Calls one entry point of an active or starting plug-in. After a fault the plug-in is
// inactive, reported, and gets no further call.
bool CallEntryPoint(PluginRecord* record, const char* entryPoint, FARPROC function,
                    const uint32_t* arguments, uint32_t count, int32_t* result) {
    PluginFault fault;
    if (CallGuarded(function, arguments, count, result, &fault)) {
        return true;
    }
    record->state = 0;
    ReportFault(*record, entryPoint, fault);
    return false;
}

template <class Fn> FARPROC Untyped(Fn function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

void UnloadPlugin(PluginRecord* record) {
    if (record->module != nullptr) {
        FreeLibrary(record->module);
        record->module = nullptr;
    }
}

} // namespace

// The entry points are looked up in the order vxpiInit, vxpiRelease, vxpiFilter; the record keeps
// those found before a missing one.
void LoadPlugin(PluginRecord* record, const char* folder, const char* name, int lensHeight,
                int lensWidth) {
    lstrcpynA(record->fileName, name, kPathCapacity);
    char path[kPathCapacity];
    if (!PluginPathInFolder(path, folder, name)) {
        return;
    }
    UniqueModule module(LoadLibraryExA(path, nullptr, 0));
    if (!module) {
        return;
    }
    record->init = BindProc<VxpiInitFn>(module.Get(), "vxpiInit");
    if (record->init != nullptr) {
        record->release = BindProc<VxpiReleaseFn>(module.Get(), "vxpiRelease");
    }
    if (record->release != nullptr) {
        record->filter = BindProc<VxpiFilterFn>(module.Get(), "vxpiFilter");
    }
    if (record->filter == nullptr) {
        return;
    }
    record->module = module.Release();
    const uint32_t arguments[] = {static_cast<uint32_t>(lensHeight),
                                  static_cast<uint32_t>(lensWidth), kBitsPerPixel};
    int32_t state = 0;
    if (CallEntryPoint(record, "vxpiInit", Untyped(record->init), arguments, 3, &state)) {
        record->state = state;
    }
    if (record->state == 0) {
        UnloadPlugin(record);
    }
}

bool ReleasePlugin(PluginRecord* record) {
    bool released = true;
    if (record->module != nullptr && record->state != 0) {
        int32_t ignored = 0;
        released =
            CallEntryPoint(record, "vxpiRelease", Untyped(record->release), nullptr, 0, &ignored);
        record->state = 0;
    }
    UnloadPlugin(record);
    return released;
}

PluginTable::~PluginTable() {
    ReleasePlugins(this);
}

size_t CountPluginFiles(const char* folder) {
    size_t count = 0;
    ForEachPluginFile(folder, [&count](const char*) {
        ++count;
        return true;
    });
    return count;
}

void ReservePluginTable(PluginTable* table, size_t capacity) {
    ReleasePlugins(table);
    if (capacity != 0) {
        table->records.reset(new PluginRecord[capacity]);
    }
    table->capacity = capacity;
}

void LoadPluginFiles(PluginTable* table, const char* folder, int lensHeight, int lensWidth) {
    ForEachPluginFile(folder, [&](const char* name) {
        if (table->count == table->capacity) {
            return false;
        }
        LoadPlugin(&table->records[table->count++], folder, name, lensHeight, lensWidth);
        return true;
    });
}

void StartPlugins(PluginTable* table, int lensHeight, int lensWidth) {
    table->lensHeight = lensHeight;
    table->lensWidth = lensWidth;
    char folder[kPathCapacity];
    if (!ComposePluginFolder(folder)) {
        ReservePluginTable(table, 0);
        return;
    }
    ReservePluginTable(table, CountPluginFiles(folder));
    LoadPluginFiles(table, folder, lensHeight, lensWidth);
}

bool PluginsActive(const PluginTable& table) {
    if (table.chosen.record.state != 0) {
        return true;
    }
    for (size_t i = 0; i < table.count; ++i) {
        if (table.records[i].state != 0) {
            return true;
        }
    }
    return false;
}

bool PluginsTakeOver(const PluginTable& table) {
    if (table.chosen.record.state == VXPI_TAKE_OVER) {
        return true;
    }
    for (size_t i = 0; i < table.count; ++i) {
        if (table.records[i].state == VXPI_TAKE_OVER) {
            return true;
        }
    }
    return false;
}

void FilterFrame(PluginTable* table, DDSURFACEDESC* frame) {
    const uint32_t arguments[] = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(frame))};
    PluginRecord* chosen = &table->chosen.record;
    int32_t result = 0;
    if (chosen->state != 0 &&
        !CallEntryPoint(chosen, "vxpiFilter", Untyped(chosen->filter), arguments, 1, &result)) {
        NoteUnusableFilter(&table->chosen);
    }
    for (size_t i = 0; i < table->count; ++i) {
        PluginRecord* record = &table->records[i];
        if (record->state != 0) {
            int32_t ignored = 0;
            CallEntryPoint(record, "vxpiFilter", Untyped(record->filter), arguments, 1, &ignored);
        }
    }
}

void ReleasePlugins(PluginTable* table) {
    ReleasePlugin(&table->chosen.record);
    table->chosen = ChosenFilter{};
    for (size_t i = 0; i < table->count; ++i) {
        ReleasePlugin(&table->records[i]);
    }
    table->records.reset();
    table->capacity = 0;
    table->count = 0;
}
