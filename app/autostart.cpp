#include "autostart.h"

#include <windows.h>

#include "autostart_rules.h"
#include "path_join.h"
#include "scoped_handles.h"

namespace {

const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

struct RegKeyTraits {
    using Value = HKEY;
    static Value Empty() { return nullptr; }
    static void Free(Value key) { RegCloseKey(key); }
};
using UniqueRegKey = Scoped<RegKeyTraits>;

UniqueRegKey OpenRunKey(REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, access, &key) != ERROR_SUCCESS) {
        return UniqueRegKey();
    }
    return UniqueRegKey(key);
}

LONG WriteRunEntry(HKEY key) {
    char program[kPathCapacity] = {};
    const DWORD length = GetModuleFileNameA(nullptr, program, kPathCapacity);
    if (length == 0 || length >= kPathCapacity) {
        return ERROR_FILENAME_EXCED_RANGE; // a cut path would start nothing
    }
    char data[kRunEntryCapacity] = {};
    const size_t size = RunEntryData(data, sizeof(data), program);
    if (size == 0) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    return RegSetValueExA(key, kRunEntryName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                          static_cast<DWORD>(size + 1));
}

} // namespace

int RunEntryPresent() {
    const UniqueRegKey key = OpenRunKey(KEY_QUERY_VALUE);
    // Asking for no data finds a value of any length.
    return key && RegQueryValueExA(key.Get(), kRunEntryName, nullptr, nullptr, nullptr, nullptr) ==
                       ERROR_SUCCESS
               ? 1
               : 0;
}

int SetRunEntry(int on) {
    const UniqueRegKey key = OpenRunKey(KEY_WRITE);
    if (!key) {
        return 0;
    }
    const LONG result = on ? WriteRunEntry(key.Get()) : RegDeleteValueA(key.Get(), kRunEntryName);
    return result == ERROR_SUCCESS ? 1 : 0;
}
