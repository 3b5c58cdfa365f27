#include "pointer_recovery.h"

#include <windows.h>

#include "appdata_folder.h"
#include "program_folder.h"
#include "qxhidecursor.h"
#include "scoped_handles.h"

void RecoverHiddenPointer() {
    char folder[kPathCapacity];
    char marker[kPathCapacity];
    char library[kPathCapacity];
    if (ComposeAppDataFolder(folder, nullptr) &&
        JoinPath(marker, kPathCapacity, folder, QX_HIDECURSOR_MARKER_NAME) &&
        ProgramFilePath(library, QX_HIDECURSOR_LIBRARY)) {
        RecoverHiddenPointerWith(marker, library);
    }
}

void RecoverHiddenPointerWith(const char* marker, const char* library) {
    if (GetFileAttributesA(marker) == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    UniqueModule hider(LoadLibraryExA(library, nullptr, 0));
    const auto show = BindProc<QxShowCursorFn>(hider.Get(), "qxShowCursor");
    if (show != nullptr) {
        show(1);
    }
}
