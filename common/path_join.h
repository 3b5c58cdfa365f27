// Bounded composition of Windows paths in fixed 260-character buffers. No Windows headers.
#pragma once

#include <cstddef>

constexpr size_t kPathCapacity = 260;

// Writes "folder\name" into `out`, or "name" alone when `folder` is empty. `out` may be the
// same buffer as `folder`. Returns 1, or 0 with `out` empty when the result and its terminator
// would not fit in `capacity` characters.
int JoinPath(char* out, size_t capacity, const char* folder, const char* name);

// The path of a file in a folder: "folder\name", or the bare name when the folder is empty or
// the joined path would not fit (a folder too deep to use counts as no folder). Empty only when
// even the bare name does not fit. Returns 1 when the path lies in the folder, else 0.
int FileInFolder(char* out, size_t capacity, const char* folder, const char* name);
