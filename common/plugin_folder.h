// The plug-in folder: "Plug-Ins" in the program's application-data folder, shared by file name
// between the tray program (its Plug-Ins menu and the switch that renames a plug-in) and the
// engine (which loads the plug-ins). When the folder cannot be composed there are no plug-ins:
// nothing is listed, renamed or loaded, and never a file of the current directory instead.
#pragma once

#include <windows.h>

#include "path_join.h"

// Composes the folder into `folder` (kPathCapacity characters), creating each missing level.
// Returns 1, or 0 with `folder` empty.
int ComposePluginFolder(char* folder);

// The path of the file or search pattern `name` in the composed plug-in folder `folder`:
// "folder\name". Returns 0 with `path` empty when `folder` is empty or the path does not fit in
// kPathCapacity characters: a plug-in is never taken by its bare name.
int PluginPathInFolder(char* path, const char* folder, const char* name);
