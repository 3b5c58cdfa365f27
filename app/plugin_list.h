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
// names end in dll or lib; nothing when the folder cannot be had. Returns pluginCount.
int ListPluginFolder();

// The path of a file in the plug-in folder; empty when the folder cannot be had or the path does
// not fit in 260 characters (never the bare name, which would name a file of the current
// directory).
std::string PluginFilePath(const std::string& name);
