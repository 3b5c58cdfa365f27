#include "plugin_list.h"

#include <windows.h>

#include "plugin_folder.h"

std::string pluginNames[kMaxPlugins];
int pluginCount = 0;

int ListPluginFolder() {
    pluginCount = 0;
    const std::string pattern = PluginFilePath("*.*");
    if (pattern.empty()) {
        return pluginCount;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return pluginCount;
    }
    do {
        if (ClassifyPluginFile(found.cFileName) != kNotAPlugin) {
            pluginNames[pluginCount++] = found.cFileName;
        }
    } while (pluginCount < kMaxPlugins && FindNextFileA(search, &found));
    FindClose(search);
    return pluginCount;
}

std::string PluginFilePath(const std::string& name) {
    char folder[kPathCapacity];
    ComposePluginFolder(folder);
    char path[kPathCapacity];
    PluginPathInFolder(path, folder, name.c_str());
    return path;
}
