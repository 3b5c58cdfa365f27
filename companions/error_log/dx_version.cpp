// The Direct3D version the system offers, from the system folder's own libraries.
#include "qxsender.h"

#include "path_join.h"
#include "scoped_handles.h"

namespace {

struct DirectXLibrary {
    const char* file;
    const char* entry;
    int version;
};

const DirectXLibrary kNewestFirst[] = {
    {"d3d9.dll", "Direct3DCreate9", 9},
    {"d3d8.dll", "Direct3DCreate8", 8},
    {"ddraw.dll", "DirectDrawCreateEx", 7},
};

} // namespace

extern "C" int WINAPI qxGetDXVersion() {
    char system[kPathCapacity];
    const UINT length = GetSystemDirectoryA(system, kPathCapacity);
    if (length == 0 || length >= kPathCapacity) {
        return 0;
    }
    for (const DirectXLibrary& library : kNewestFirst) {
        char path[kPathCapacity];
        if (!JoinPath(path, kPathCapacity, system, library.file)) {
            continue;
        }
        UniqueModule module(LoadLibraryExA(path, nullptr, 0));
        if (BindProc<FARPROC>(module.Get(), library.entry) != nullptr) {
            return library.version;
        }
    }
    return 0;
}
