#include "test_plugin_folders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "test_support.h"

PluginFolder::PluginFolder(size_t pathLength) {
    static int made = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "vx_plugins_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++made);
    path_.resize(std::max(path_.size(), pathLength), 'd');
    CreateDirectoryA(path_.c_str(), nullptr);
}

PluginFolder::PluginFolder(const std::string& parent, const char* name)
    : path_(parent + "\\" + name) {
    CreateDirectoryA(path_.c_str(), nullptr);
}

PluginFolder::~PluginFolder() {
    for (const std::string& name : Names("*")) {
        const std::string path = path_ + "\\" + name;
        if (!DeleteFileA(path.c_str())) {
            RemoveDirectoryA(path.c_str());
        }
    }
    RemoveDirectoryA(path_.c_str());
}

void PluginFolder::Add(const char* variant, const std::string& name) const {
    Copy("test_plugins\\" + std::string(variant) + ".dll", name);
}

void PluginFolder::Copy(const std::string& from, const std::string& name) const {
    const std::string source = ProgramFolder() + "\\" + from;
    ASSERT_TRUE(CopyFileA(source.c_str(), (path_ + "\\" + name).c_str(), FALSE)) << name;
}

std::vector<std::string> PluginFolder::Names(const char* pattern) const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (found.cFileName[0] != '.') {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

namespace {

constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

} // namespace

RedirectedAppData::RedirectedAppData(const std::string& folder) {
    RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_);
    DWORD size = sizeof(previous_);
    RegQueryValueExA(key_, "AppData", nullptr, nullptr, reinterpret_cast<BYTE*>(previous_), &size);
    Set(folder.c_str());
}

RedirectedAppData::~RedirectedAppData() {
    Set(previous_);
    RegCloseKey(key_);
}

void RedirectedAppData::Set(const char* folder) {
    RegSetValueExA(key_, "AppData", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder),
                   static_cast<DWORD>(std::strlen(folder) + 1));
}
