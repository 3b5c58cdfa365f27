// The text of the Run entry that starts the program with Windows: the program's full path in
// double quotes, a blank and /a (wait for the desktop, then work from the program's folder).
// No Windows headers.
#pragma once

#include <cstddef>

// The value's name under the current user's Run key.
constexpr char kRunEntryName[] = "Vexlume";

// Room for the data of any program path that fits the system's 260 characters.
constexpr size_t kRunEntryCapacity = 272;

// Writes "\"<programPath>\" /a" into `out`. Returns its length, or 0 with `out` empty when the
// path is empty or the text and its terminator would not fit in `capacity` characters.
size_t RunEntryData(char* out, size_t capacity, const char* programPath);
