// Files beside the program: the engine and the companion libraries are loaded from the folder
// of Vexlume.exe by full path, never found on the search path.
#pragma once

#include "path_join.h"

// The folder of the running program, into `folder` (kPathCapacity characters). False when the
// program's own path does not fit.
bool ProgramFolder(char* folder);

// "<program folder>\name" into `path` (kPathCapacity characters); false when it does not fit.
bool ProgramFilePath(char* path, const char* name);
