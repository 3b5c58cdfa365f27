// Plug-in folders for the tests: fresh folders that test plug-ins are copied into, and the
// user's application-data folder pointed elsewhere, so that a run of the engine loads the
// plug-ins of the test's own folder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A fresh folder, removed with the files in it at the end: under the temporary folder, its name
// padded when the whole path is to have a given length, or a named folder inside another.
class PluginFolder {
public:
    explicit PluginFolder(size_t pathLength = 0);
    PluginFolder(const std::string& parent, const char* name);
    ~PluginFolder();
    PluginFolder(const PluginFolder&) = delete;
    PluginFolder& operator=(const PluginFolder&) = delete;

    const char* Path() const { return path_.c_str(); }
    // Copies the test plug-in `variant` into the folder as `name`.
    void Add(const char* variant, const std::string& name) const;
    // Copies a file from the program's folder, given by its relative path.
    void Copy(const std::string& from, const std::string& name) const;
    // The names matching `pattern`, in the order the file system lists them.
    std::vector<std::string> Names(const char* pattern) const;

private:
    std::string path_;
};

// Points the user's application-data folder somewhere else while it lives.
class RedirectedAppData {
public:
    explicit RedirectedAppData(const std::string& folder);
    ~RedirectedAppData();
    RedirectedAppData(const RedirectedAppData&) = delete;
    RedirectedAppData& operator=(const RedirectedAppData&) = delete;

private:
    void Set(const char* folder);
    HKEY key_ = nullptr;
    char previous_[MAX_PATH] = {};
};

// The plug-in folder of a redirected application-data folder, "Drelmont\Vexlume\Plug-Ins" in a
// fresh one, made for the test and removed at its end.
struct AppDataPlugins {
    PluginFolder appData;
    RedirectedAppData redirected{appData.Path()};
    PluginFolder maker{appData.Path(), "Drelmont"};
    PluginFolder product{maker.Path(), "Vexlume"};
    PluginFolder plugins{product.Path(), "Plug-Ins"};
};
