#include "autostart_rules.h"

#include <cstdio>

size_t RunEntryData(char* out, size_t capacity, const char* programPath) {
    if (capacity == 0) {
        return 0;
    }
    out[0] = '\0';
    if (programPath == nullptr || programPath[0] == '\0') {
        return 0;
    }
    const int length = std::snprintf(out, capacity, "\"%s\" /a", programPath);
    if (length < 0 || static_cast<size_t>(length) >= capacity) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(length);
}
