#include "plugin_folder.h"

#include "appdata_folder.h"

int ComposePluginFolder(char* folder) {
    return ComposeAppDataFolder(folder, "Plug-Ins");
}

int PluginPathInFolder(char* path, const char* folder, const char* name) {
    if (folder[0] == '\0') {
        path[0] = '\0';
        return 0;
    }
    return JoinPath(path, kPathCapacity, folder, name);
}
