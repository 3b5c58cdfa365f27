// The program's command-line letters and the folder of its own file. No Windows headers.
#pragma once

#include <cstddef>

struct StartOptions {
    bool delayedStart = false; // 'a' or 'A' anywhere: started with Windows
    bool closeRunning = false; // 'u' or 'U' anywhere: close the running copy
};

// Scans every character of the command-line text (without the program name); null counts as
// empty. The letters count wherever they stand, also inside other words.
StartOptions ParseCommandLine(const char* text);

// The folder of a file path: everything before its last backslash. Returns 1, or 0 with `out`
// empty when the path has no backslash or the folder does not fit in `capacity` characters.
int FolderOfPath(char* out, size_t capacity, const char* path);
