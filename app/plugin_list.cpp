#include "plugin_list.h"

#include <windows.h>

#include "appdata_folder.h"

std::string pluginNames[kMaxPlugins];
int pluginCount = 0;

namespace {

const char kPluginFolder[] = "Plug-Ins";

} // namespace

int ListPluginFolder() {
    pluginCount = 0;
    const std::string pattern = PluginFilePath("*.*");
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
    ComposeAppDataFolder(folder, kPluginFolder);
    char path[kPathCapacity];
    FileInFolder(path, kPathCapacity, folder, name.c_str());
    return path;
}
