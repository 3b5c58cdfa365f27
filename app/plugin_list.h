// The plug-in libraries found in the plug-in folder at the last opening of the tray menu, and
// the paths of their files.
#pragma once

#include <string>

#include "plugin_files.h"

// Entry i belongs to the menu command 10000 + i. Entries beyond pluginCount keep their old text
// until a later listing reuses them.
extern std::string pluginNames[kMaxPlugins];
extern int pluginCount;

// Lists the folder in the order the file system returns it, at most kMaxPlugins entries whose
// names end in dll or lib. Returns pluginCount.
int ListPluginFolder();

// The path of a file in the plug-in folder, or the bare name when the folder cannot be had.
// Empty when even that does not fit in 260 characters.
std::string PluginFilePath(const std::string& name);
