#include "vexlume_process.h"

#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "appdata_folder.h"
#include "instance_mapping.h"
#include "menu_probe.h"
#include "scoped_handles.h"
#include "settings_logic.h"
#include "test_support.h"

namespace {

constexpr UINT kTrayCallbackMessage = 15000;

void DeleteFolderFiles(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            DeleteFileA((folder + "\\" + found.cFileName).c_str());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void EndStrayInstance() {
    HWND window = PublishedWindow();
    DWORD id = 0;
    if (window == nullptr || !GetWindowThreadProcessId(window, &id)) {
        return;
    }
    UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    if (!process) {
        return;
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (!WaitForEnd(process.Get())) {
        TerminateProcess(process.Get(), 1);
        WaitForEnd(process.Get());
    }
}

std::string AppDataFolder(const char* third) {
    char path[kPathCapacity];
    ComposeAppDataFolder(path, third);
    return path;
}

struct WindowSearch {
    DWORD processId;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    char text[256] = {};
    GetWindowTextA(window, text, sizeof(text));
    const bool match = search->caption == nullptr ? IsWindowVisible(window) && text[0] != '\0'
                                                  : std::strcmp(text, search->caption) == 0;
    if (id == search->processId && match) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct LoadedModule {
    std::string name; // lower case
    std::string path;
};

// The modules of a running process, read through the process's own module list. A list that
// changes while it is read (a library loading or unloading) is read again; Wine's module
// snapshot of such a process can free memory it never allocated, so it is not used here.
std::vector<LoadedModule> LoadedModules(DWORD processId) {
    UniqueHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) {
        return {};
    }
    std::vector<HMODULE> handles(64);
    for (int attempt = 0; attempt < 20; ++attempt) {
        DWORD needed = 0;
        const DWORD size = static_cast<DWORD>(handles.size() * sizeof(HMODULE));
        if (!EnumProcessModules(process.Get(), handles.data(), size, &needed)) {
            Sleep(1);
            continue;
        }
        if (needed > size) {
            handles.resize(needed / sizeof(HMODULE) + 16);
            continue;
        }
        handles.resize(needed / sizeof(HMODULE));
        std::vector<LoadedModule> modules;
        for (HMODULE handle : handles) {
            char path[MAX_PATH] = {};
            if (GetModuleFileNameExA(process.Get(), handle, path, MAX_PATH) == 0) {
                continue; // unloaded meanwhile
            }
            const char* slash = std::strrchr(path, '\\');
            std::string name = slash != nullptr ? slash + 1 : path;
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            modules.push_back({name, path});
        }
        return modules;
    }
    return {};
}

// Every program a test starts lies in this job, which ends them all when the test process ends,
// however it ends: a test that crashes leaves no program behind to hold the display or its
// output.
HANDLE TestProgramsJob() {
    static HANDLE job = [] {
        HANDLE created = CreateJobObjectA(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (created != nullptr) {
            SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits,
                                    sizeof(limits));
        }
        return created;
    }();
    return job;
}

} // namespace

HWND PublishedWindow() {
    UniqueHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, kInstanceMappingName));
    if (!mapping) {
        return nullptr;
    }
    UniqueView view(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) {
        return nullptr;
    }
    const uint32_t value = *static_cast<const volatile uint32_t*>(view.Get());
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

ProgramCopy::ProgramCopy(EngineBeside engine) {
    static int counter = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "vexlume-test-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++counter);
    CreateDirectoryA(folder_.c_str(), nullptr);
    DeleteFolderFiles(folder_);
    Add("Vexlume.exe", "Vexlume.exe");
    if (engine == EngineBeside::Real) {
        Add("qxmagnifier.dll", "qxmagnifier.dll");
    } else if (engine == EngineBeside::Fake) {
        Add("fakes\\engine\\qxmagnifier.dll", "qxmagnifier.dll");
    }
}

ProgramCopy::~ProgramCopy() {
    DeleteFolderFiles(folder_);
    RemoveDirectoryA(folder_.c_str());
}

bool ProgramCopy::Add(const std::string& fromTestFolder, const std::string& name) {
    return CopyFileA((ProgramFolder() + "\\" + fromTestFolder).c_str(),
                     (folder_ + "\\" + name).c_str(), FALSE) != 0;
}

VexlumeProcess::VexlumeProcess(const std::string& program, const std::string& arguments,
                               const std::string& currentDirectory) {
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, currentDirectory.empty() ? nullptr : currentDirectory.c_str(),
                        &startup, &info_)) {
        info_ = PROCESS_INFORMATION{};
        return;
    }
    if (TestProgramsJob() != nullptr) {
        AssignProcessToJobObject(TestProgramsJob(), info_.hProcess);
    }
    ResumeThread(info_.hThread);
}

VexlumeProcess::~VexlumeProcess() {
    if (!Started()) {
        return;
    }
    if (Running()) {
        if (window_ != nullptr) {
            PostMessageA(window_, WM_CLOSE, 0, 0);
        }
        if (!WaitForEnd(info_.hProcess)) {
            TerminateProcess(info_.hProcess, 1);
            WaitForEnd(info_.hProcess);
        }
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

HWND VexlumeProcess::WaitForMainWindow() {
    WaitUntil([this] {
        HWND window = PublishedWindow();
        DWORD id = 0;
        if (window != nullptr && GetWindowThreadProcessId(window, &id) && id == Id()) {
            window_ = window;
        }
        return window_ != nullptr || !Running();
    });
    return Answers() ? window_ : nullptr;
}

bool VexlumeProcess::Answers() const {
    return window_ != nullptr && Send(WM_NULL, 0, 0);
}

void VexlumeProcess::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
    PostMessageA(window_, message, wParam, lParam);
}

bool VexlumeProcess::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window_, message, wParam, lParam, SMTO_NORMAL, kPatienceMs,
                               &result) != 0;
}

bool VexlumeProcess::RunCommand(unsigned command) const {
    return Send(WM_COMMAND, command, 0);
}

bool VexlumeProcess::HandledPosted() const {
    Post(kTrayCallbackMessage, 333, WM_RBUTTONUP);
    // A main thread that waits for its next message (after a lost surface) takes no message
    // that was queued before: more of them, harmless, follow until the menu is open.
    HWND menu = nullptr;
    if (!WaitUntil([&] {
            Post(WM_NULL);
            menu = FindWindowA("#32768", nullptr);
            return menu != nullptr && IsWindowVisible(menu);
        })) {
        return false;
    }
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    return WaitUntil([menu] { return !IsWindowVisible(menu); }) && Answers();
}

bool VexlumeProcess::WaitForExit(DWORD* code) {
    if (!Started() || !WaitForEnd(info_.hProcess)) {
        return false;
    }
    if (code != nullptr) {
        GetExitCodeProcess(info_.hProcess, code);
    }
    return true;
}

double VexlumeProcess::LifetimeMs() const {
    ULARGE_INTEGER times[4] = {};
    GetProcessTimes(info_.hProcess, reinterpret_cast<FILETIME*>(&times[0]),
                    reinterpret_cast<FILETIME*>(&times[1]), reinterpret_cast<FILETIME*>(&times[2]),
                    reinterpret_cast<FILETIME*>(&times[3]));
    return static_cast<double>(times[1].QuadPart - times[0].QuadPart) / 10000.0;
}

bool VexlumeProcess::Running() const {
    return Started() && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<std::string> VexlumeProcess::Modules() const {
    std::vector<std::string> names;
    for (const LoadedModule& module : LoadedModules(Id())) {
        names.push_back(module.name);
    }
    return names;
}

std::string VexlumeProcess::ModulePath(const std::string& name) const {
    for (const LoadedModule& module : LoadedModules(Id())) {
        if (module.name == name) {
            return module.path;
        }
    }
    return "";
}

bool VexlumeProcess::HasModule(const std::string& name) const {
    const std::vector<std::string> names = Modules();
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool VexlumeProcess::Read(uintptr_t address, void* out, size_t size) const {
    SIZE_T read = 0;
    return ReadProcessMemory(info_.hProcess, reinterpret_cast<const void*>(address), out, size,
                             &read) &&
           read == size;
}

FakeEngine::FakeEngine()
    : mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  sizeof(FakeEngineState), VX_FAKE_ENGINE_STATE)),
      state_(static_cast<FakeEngineState*>(
          MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(FakeEngineState)))) {
    std::memset(state_, 0, sizeof(*state_));
    state_->pendingCode = -1;
}

FakeEngine::~FakeEngine() {
    UnmapViewOfFile(state_);
    CloseHandle(mapping_);
}

bool FakeEngine::ReadRecord(const VexlumeProcess& program, SettingsRecord* record) const {
    const uintptr_t engineRecord = static_cast<uint32_t>(state_->paramsAddress);
    return engineRecord != 0 &&
           program.Read(engineRecord - kEngineParametersOffset, record, sizeof(*record));
}

bool FakeEngine::WaitFor(const std::function<bool(const FakeEngineState&)>& condition) const {
    return WaitUntil([&] { return condition(*state_); });
}

bool FakeEngine::WaitForAnswers() const {
    return WaitFor([](const FakeEngineState& s) { return s.answered == s.sent; });
}

namespace {

const char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

} // namespace

AppDataRedirect::AppDataRedirect(size_t length) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "vexlume-appdata-";
    path_.resize(length, 'x');
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    char value[1024] = {};
    DWORD size = sizeof(value) - 1;
    if (RegQueryValueExA(key, "AppData", nullptr, &previousType_, reinterpret_cast<BYTE*>(value),
                         &size) == ERROR_SUCCESS) {
        previous_ = value;
    }
    RegSetValueExA(key, "AppData", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path_.c_str()),
                   static_cast<DWORD>(path_.size() + 1));
    RegCloseKey(key);
}

AppDataRedirect::~AppDataRedirect() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        return;
    }
    if (previousType_ != 0) {
        RegSetValueExA(key, "AppData", 0, previousType_,
                       reinterpret_cast<const BYTE*>(previous_.c_str()),
                       static_cast<DWORD>(previous_.size() + 1));
    } else {
        RegDeleteValueA(key, "AppData");
    }
    RegCloseKey(key);
    RemoveDirectoryA(path_.c_str());
}

void ResetProgramState() {
    EndStrayInstance();
    for (const char* name : {"settings.dat", "options.ini", "docked-view.marker"}) {
        DeleteFileA(AppDataFile(name).c_str());
    }
    DeleteFolderFiles(PluginFolder());
}

std::string AppDataFile(const char* name) {
    return AppDataFolder(nullptr) + "\\" + name;
}

void WriteSettingsFile(const SettingsRecord& record) {
    UniqueFile file(CreateFileA((AppDataFolder(nullptr) + "\\settings.dat").c_str(), GENERIC_WRITE,
                                0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (file) {
        WriteFile(file.Get(), &record, sizeof(record), &written, nullptr);
    }
}

SettingsRecord FirstRunSettings() {
    SettingsRecord record;
    SetDefaultSettings(&record);
    return record;
}

std::string PluginFolder() {
    return AppDataFolder("Plug-Ins");
}

std::vector<MenuItemSeen> ReadOpenMenu(HWND menuWindow) {
    std::vector<MenuItemSeen> items;
    UniqueHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(MenuProbeState), VX_MENU_PROBE_STATE));
    UniqueView view(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    UniqueModule probe(LoadLibraryA((ProgramFolder() + "\\menu_probe.dll").c_str()));
    auto hook = BindProc<HOOKPROC>(probe.Get(), "MenuProbeHook");
    if (!view || hook == nullptr) {
        return items;
    }
    auto* state = static_cast<MenuProbeState*>(view.Get());
    std::memset(state, 0, sizeof(*state));
    HHOOK installed = SetWindowsHookExA(WH_CALLWNDPROC, hook, probe.Get(),
                                        GetWindowThreadProcessId(menuWindow, nullptr));
    if (installed == nullptr) {
        return items;
    }
    DWORD_PTR result = 0;
    SendMessageTimeoutA(menuWindow, 0x01E1 /* MN_GETHMENU */, 0, 0, SMTO_NORMAL, kPatienceMs,
                        &result);
    UnhookWindowsHookEx(installed);
    if (state->done == 0) {
        return items;
    }
    for (LONG i = 0; i < state->count; ++i) {
        const MenuProbeItem& item = state->items[i];
        items.push_back({item.depth, item.id, item.state, item.text});
    }
    return items;
}

HWND WaitForPopupMenu() {
    HWND menu = nullptr;
    WaitUntil([&] {
        menu = FindWindowA("#32768", nullptr);
        return menu != nullptr && IsWindowVisible(menu);
    });
    return menu != nullptr && IsWindowVisible(menu) ? menu : nullptr;
}

HWND WaitForWindow(DWORD processId, const char* caption, const std::function<void()>& meanwhile) {
    WindowSearch search = {processId, caption, nullptr};
    WaitUntil([&] {
        if (meanwhile) {
            meanwhile();
        }
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

bool WaitClosed(HWND window) {
    return WaitUntil([window] { return !IsWindow(window); });
}

bool TrayIconPresent(HWND owner) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner;
    data.uID = 333;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != 0;
}

bool KeyTaken(UINT modifiers, UINT key) {
    if (RegisterHotKey(nullptr, 0x7001, modifiers, key)) {
        UnregisterHotKey(nullptr, 0x7001);
        return false;
    }
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

void Press(WORD key) {
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = key;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void XInput(const std::string& arguments) {
    std::string command = "Z:\\usr\\bin\\xdotool " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &started)) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
}

bool LensWindowShown(DWORD processId) {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "VX Overlay Window", nullptr)) != nullptr) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        if (id == processId && IsWindowVisible(window)) {
            return true;
        }
    }
    return false;
}
