// What a test plug-in did inside a program that keeps no call log of ours (the real Vexlume.exe):
// when a test has made the shared block named by PluginCallCountsName for a plug-in file, every
// copy of the plug-in loaded under that file name counts its calls there.
#pragma once

#include <windows.h>

#include <cstdio>

struct PluginCallCounts {
    LONG init;
    LONG filter;
    LONG release;
};

// The name of the shared block of the plug-in file `fileName` (no folder).
inline void PluginCallCountsName(char* name, size_t capacity, const char* fileName) {
    std::snprintf(name, capacity, "VxTestPluginCalls %s", fileName);
}
