// The program's folder under the user's application data: <AppData>\Drelmont\Vexlume, with an
// optional third level such as "Plug-Ins". Both binaries compose it the same way.
#pragma once

#include <windows.h>

#include "path_join.h"

// Composes the folder into `path` (kPathCapacity characters), creating each missing level.
// Returns 1, or 0 with `path` empty when any level cannot be had or the path would be too long.
int ComposeAppDataFolder(char* path, const char* thirdLevel);
