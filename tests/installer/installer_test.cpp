// The installer and the uninstaller of the build, run silently in the test prefix as a user or
// an administrator runs them: what they put where, the installed program with its lens, an
// install over a running copy, what an uninstall leaves, and a second install over a plug-in
// folder the user has changed. The pages' language is checked with the installer's window.
#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "autostart_rules.h"
#include "qxsender.h"
#include "scoped_handles.h"
#include "shipped_files.h"
#include "test_support.h"
#include "vexlume_process.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexlume";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string InstallFolder() {
    return ShellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Vexlume";
}
std::string InstalledProgram() {
    return InstallFolder() + "\\Vexlume.exe";
}
std::string Shortcut() {
    return ShellFolder(CSIDL_PROGRAMS) + "\\Vexlume.lnk";
}
// The program's folder under the application data, looked at without creating it.
std::string UserFolder() {
    return ShellFolder(CSIDL_APPDATA) + "\\Drelmont\\Vexlume";
}
std::string UserPluginFolder() {
    return UserFolder() + "\\Plug-Ins";
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFileText(const std::string& path, const std::string& text) {
    UniqueFile file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()),
                                  &written, nullptr))
        << path;
}

// The names in a folder, sorted; empty when the folder is missing.
std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string RunEntryOf(const std::string& program) {
    char data[kRunEntryCapacity];
    RunEntryData(data, sizeof(data), program.c_str());
    return data;
}

// Runs a command line and waits for it and for every process it starts, except those that
// leave its job; the exit code of the first, or -1.
long RunAndWait(const std::string& commandLine, bool wholeTree = false) {
    UniqueHandle job(CreateJobObjectA(nullptr, nullptr));
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!job || !CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                nullptr, nullptr, &startup, &info)) {
        return -1;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    AssignProcessToJobObject(job.Get(), process.Get());
    ResumeThread(thread.Get());
    if (!WaitForEnd(process.Get())) {
        TerminateProcess(process.Get(), 1);
        return -1;
    }
    WaitUntil([&] {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
        return !wholeTree ||
               !QueryInformationJobObject(job.Get(), JobObjectBasicAccountingInformation,
                                          &accounting, sizeof(accounting), nullptr) ||
               accounting.ActiveProcesses == 0;
    });
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    return static_cast<long>(code);
}

long RunSetup(const std::string& options) {
    return RunAndWait("\"" + ProgramFolder() + "\\" + kSetupFile + "\" " + options);
}

long RunUninstaller(const std::string& options) {
    return RunAndWait("\"" + InstallFolder() + "\\uninstall.exe\" " + options, true);
}

// The program file of the running first instance, or "".
std::string RunningProgram() {
    DWORD id = 0;
    GetWindowThreadProcessId(PublishedWindow(), &id);
    UniqueHandle process(id != 0 ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id)
                                 : nullptr);
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    return process && QueryFullProcessImageNameA(process.Get(), 0, path, &size) ? path : "";
}

struct ShortcutSeen {
    std::string target;
    std::string folder;
};
ShortcutSeen ReadShortcut(const std::string& path) {
    ShortcutSeen seen;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.Put()))) ||
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())))) {
        return seen;
    }
    const std::wstring wide(path.begin(), path.end());
    char text[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) &&
        SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0))) {
        seen.target = text;
        link->GetWorkingDirectory(text, MAX_PATH);
        seen.folder = text;
    }
    return seen;
}

// Every test starts and ends with nothing installed, no program running, no settings, no
// plug-ins and no Run value.
class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        Clean();
    }
    void TearDown() override {
        Clean();
        CoUninitialize();
    }
    static void Clean() {
        if (Exists(InstallFolder() + "\\uninstall.exe")) {
            RunUninstaller("/S /REMOVEUSERDATA");
        }
        ResetProgramState();
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, kRunEntryName);
    }
    static std::string Shipped(const std::string& relative) {
        return FileContent(ProgramFolder() + "\\" + relative);
    }
    static std::string ShippedFilter(const std::string& name) {
        return Shipped("plugins\\" + name + ".dll");
    }
};

TEST_F(Installer, PutsProgramShortcutUninstallEntryAndSwitchedOffFiltersInPlace) {
    ASSERT_EQ(0, RunSetup("/S"));

    std::vector<std::string> expected = {"filters.ini", "uninstall.exe"};
    for (const char* file : kProgramFiles) {
        EXPECT_EQ(Shipped(file), FileContent(InstallFolder() + "\\" + file)) << file;
        expected.push_back(file);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, FolderNames(InstallFolder()));

    const ShortcutSeen shortcut = ReadShortcut(Shortcut());
    EXPECT_EQ(InstalledProgram(), shortcut.target);
    EXPECT_EQ(InstallFolder(), shortcut.folder);

    EXPECT_EQ("Vexlume", RegistryText(HKEY_CURRENT_USER, kUninstallKey, "DisplayName"));
    EXPECT_EQ(kVersionText, RegistryText(HKEY_CURRENT_USER, kUninstallKey, "DisplayVersion"));
    EXPECT_EQ("Drelmont", RegistryText(HKEY_CURRENT_USER, kUninstallKey, "Publisher"));
    EXPECT_EQ(InstalledProgram() + ",0",
              RegistryText(HKEY_CURRENT_USER, kUninstallKey, "DisplayIcon"));
    EXPECT_EQ("\"" + InstallFolder() + "\\uninstall.exe\"",
              RegistryText(HKEY_CURRENT_USER, kUninstallKey, "UninstallString"));
    DWORD kilobytes = 0;
    DWORD size = sizeof(kilobytes);
    RegGetValueA(HKEY_CURRENT_USER, kUninstallKey, "EstimatedSize", RRF_RT_REG_DWORD, nullptr,
                 &kilobytes, &size);
    EXPECT_GE(kilobytes * 1024, Shipped("Vexlume.exe").size() + Shipped("qxmagnifier.dll").size());

    std::vector<std::string> filters;
    for (const char* name : kFilterNames) {
        EXPECT_EQ(ShippedFilter(name), FileContent(UserPluginFolder() + "\\" + name + ".lib"));
        filters.push_back(std::string(name) + ".lib");
    }
    std::sort(filters.begin(), filters.end());
    EXPECT_EQ(filters, FolderNames(UserPluginFolder())) << "every filter switched off";
    EXPECT_EQ("(absent)", RegistryText(HKEY_CURRENT_USER, kRunKey, kRunEntryName));

    // Started as the shortcut starts it, the program finds its engine in its own folder.
    VexlumeProcess program(shortcut.target, "", shortcut.folder);
    ASSERT_NE(nullptr, program.WaitForMainWindow());
    ASSERT_TRUE(program.RunCommand(8002));
    EXPECT_TRUE(WaitUntil([&] { return LensWindowShown(program.Id()); }));
    std::string engine = program.ModulePath("qxmagnifier.dll");
    EXPECT_EQ(InstallFolder() + "\\qxmagnifier.dll", engine);
}

TEST_F(Installer, OverARunningCopyEndsItAndStartsTheNewOneAgain) {
    ASSERT_EQ(0, RunSetup("/S"));
    VexlumeProcess first(InstalledProgram(), "", InstallFolder());
    ASSERT_NE(nullptr, first.WaitForMainWindow());

    ASSERT_EQ(0, RunSetup("/S"));
    DWORD code = 1;
    EXPECT_TRUE(first.WaitForExit(&code)) << "ended before the files were replaced";
    EXPECT_EQ(0u, code) << "through its own Exit";
    std::string again;
    WaitUntil([&] { return !(again = RunningProgram()).empty(); });
    EXPECT_EQ(InstalledProgram(), again) << "started again, from the install folder";
}

struct UninstallRound {
    const char* options;
    bool keepsUserData;
    const char* otherCopy; // a program whose Run value replaces the installed one's, or null
};

TEST_F(Installer, UninstallLeavesOnlySettingsAndTheUsersOwnPlugInsUnlessAskedToRemoveThem) {
    for (const UninstallRound& round :
         {UninstallRound{"/S", true, nullptr},
          UninstallRound{"/S /REMOVEUSERDATA", false, "C:\\Portable\\Vexlume.exe"}}) {
        SCOPED_TRACE(round.options);
        ASSERT_EQ(0, RunSetup("/S /STARTWITHWINDOWS=1"));
        EXPECT_EQ(RunEntryOf(InstalledProgram()),
                  RegistryText(HKEY_CURRENT_USER, kRunKey, kRunEntryName));
        std::string runAfter = "(absent)";
        if (round.otherCopy != nullptr) {
            runAfter = RunEntryOf(round.otherCopy);
            SetRegistryText(HKEY_CURRENT_USER, kRunKey, kRunEntryName, runAfter);
        }
        WriteSettingsFile(FirstRunSettings());
        WriteFileText(UserFolder() + "\\" QX_SENDER_LOG_NAME, "a report\r\n");
        WriteFileText(UserPluginFolder() + "\\Mine.dll", "the user's own");
        const std::string first = kFilterNames[0];
        ASSERT_TRUE(MoveFileA((UserPluginFolder() + "\\" + first + ".lib").c_str(),
                              (UserPluginFolder() + "\\" + first + ".dll").c_str()));
        VexlumeProcess running(InstalledProgram(), "", InstallFolder());
        ASSERT_NE(nullptr, running.WaitForMainWindow());

        ASSERT_EQ(0, RunUninstaller(round.options));
        EXPECT_TRUE(running.WaitForExit()) << "ended through its close request";
        EXPECT_FALSE(Exists(InstallFolder()));
        EXPECT_FALSE(Exists(Shortcut()));
        EXPECT_EQ("(absent)", RegistryText(HKEY_CURRENT_USER, kUninstallKey, "DisplayName"));
        EXPECT_EQ(runAfter, RegistryText(HKEY_CURRENT_USER, kRunKey, kRunEntryName))
            << "only the value that starts the removed copy goes";
        if (round.keepsUserData) {
            EXPECT_EQ((std::vector<std::string>{"Plug-Ins", "settings.dat"}),
                      FolderNames(UserFolder()));
            EXPECT_EQ(std::vector<std::string>{"Mine.dll"}, FolderNames(UserPluginFolder()));
        } else {
            EXPECT_FALSE(Exists(UserFolder()));
        }
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, kRunEntryName);
    }
}

TEST_F(Installer, ASecondInstallKeepsThePlugInFilesTheUserHasAndChanged) {
    // The user's own library under the name of a shipped filter, from before any install.
    const std::string theirs = kFilterNames[1];
    CreateDirectoryA(ShellFolder(CSIDL_APPDATA).append("\\Drelmont").c_str(), nullptr);
    CreateDirectoryA(UserFolder().c_str(), nullptr);
    CreateDirectoryA(UserPluginFolder().c_str(), nullptr);
    WriteFileText(UserPluginFolder() + "\\" + theirs + ".dll", "the user's filter");
    ASSERT_EQ(0, RunSetup("/S"));

    // Then one shipped filter switched on, and a plug-in of the user's added switched off.
    const std::string switched = kFilterNames[0];
    ASSERT_TRUE(MoveFileA((UserPluginFolder() + "\\" + switched + ".lib").c_str(),
                          (UserPluginFolder() + "\\" + switched + ".dll").c_str()));
    WriteFileText(UserPluginFolder() + "\\Mine.lib", "the user's own");
    ASSERT_EQ(0, RunSetup("/S"));

    std::vector<std::string> expected = {"Mine.lib", switched + ".dll", theirs + ".dll"};
    for (size_t i = 2; i < sizeof(kFilterNames) / sizeof(kFilterNames[0]); ++i) {
        expected.push_back(std::string(kFilterNames[i]) + ".lib");
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, FolderNames(UserPluginFolder()));
    EXPECT_EQ("the user's filter", FileContent(UserPluginFolder() + "\\" + theirs + ".dll"));
    EXPECT_EQ("the user's own", FileContent(UserPluginFolder() + "\\Mine.lib"));
    EXPECT_EQ(ShippedFilter(switched), FileContent(UserPluginFolder() + "\\" + switched + ".dll"));

    ASSERT_EQ(0, RunUninstaller("/S"));
    expected = {"Mine.lib", theirs + ".dll"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, FolderNames(UserPluginFolder()));
}

// The pages speak Russian when the system's default language is Russian, as the program does.
TEST(InstallerPages, FollowTheSystemLanguage) {
    const bool russian = std::getenv("VX_EXPECT_RUSSIAN") != nullptr;
    std::string command = "\"" + ProgramFolder() + "\\" + kSetupFile + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &info));
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    const HWND window = WaitForWindow(info.dwProcessId, nullptr);
    wchar_t caption[128] = {};
    GetWindowTextW(window, caption, 128);
    TerminateProcess(process.Get(), 0);
    WaitForEnd(process.Get());
    const std::wstring expected =
        russian ? L"\x0423\x0441\x0442\x0430\x043d\x043e\x0432\x043a\x0430 Vexlume"
                : L"Vexlume Setup";
    EXPECT_EQ(expected, std::wstring(caption).substr(0, expected.size()));
}

} // namespace
