#include "command_line.h"

#include <cstring>

StartOptions ParseCommandLine(const char* text) {
    StartOptions options;
    if (text == nullptr) {
        return options;
    }
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == 'a' || *p == 'A') {
            options.delayedStart = true;
        } else if (*p == 'u' || *p == 'U') {
            options.closeRunning = true;
        }
    }
    return options;
}

int FolderOfPath(char* out, size_t capacity, const char* path) {
    if (capacity == 0) {
        return 0;
    }
    out[0] = '\0';
    const char* slash = std::strrchr(path, '\\');
    if (slash == nullptr) {
        return 0;
    }
    const size_t length = static_cast<size_t>(slash - path);
    if (length + 1 > capacity) {
        return 0;
    }
    std::memmove(out, path, length);
    out[length] = '\0';
    return 1;
}
