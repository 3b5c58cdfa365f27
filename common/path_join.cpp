#include "path_join.h"

#include <cstring>

int JoinPath(char* out, size_t capacity, const char* folder, const char* name) {
    const size_t folderLength = std::strlen(folder);
    const size_t nameLength = std::strlen(name);
    const size_t prefixLength = folderLength == 0 ? 0 : folderLength + 1;
    if (capacity == 0) {
        return 0;
    }
    if (prefixLength + nameLength + 1 > capacity) {
        out[0] = '\0';
        return 0;
    }
    if (folderLength != 0) {
        std::memmove(out, folder, folderLength);
        out[folderLength] = '\\';
    }
    std::memmove(out + prefixLength, name, nameLength + 1);
    return 1;
}

int FileInFolder(char* out, size_t capacity, const char* folder, const char* name) {
    if (folder[0] != '\0' && JoinPath(out, capacity, folder, name)) {
        return 1;
    }
    JoinPath(out, capacity, "", name);
    return 0;
}
