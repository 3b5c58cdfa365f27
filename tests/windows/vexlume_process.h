// Driving the real Vexlume.exe from a test: a private copy of the program in a folder of its own
// (with the real engine, the fake engine or none beside it), the running process, its main
// window, its module list and memory, and the shared state of the fake engine.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "../fakes/fake_engine_state.h"
#include "settings_record.h"

// Which engine library lies next to the program copy.
enum class EngineBeside { None, Real, Fake };

// A folder under %TEMP% holding a copy of Vexlume.exe; removed with its content at the end.
class ProgramCopy {
public:
    explicit ProgramCopy(EngineBeside engine);
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;
    const std::string& Folder() const { return folder_; }
    std::string Program() const { return folder_ + "\\Vexlume.exe"; }
    // Copies a file of the test folder (bin) to `name` in this folder.
    bool Add(const std::string& fromTestFolder, const std::string& name);

private:
    std::string folder_;
};

// A running Vexlume.exe. Whatever happens in the test, the process is ended at the end.
class VexlumeProcess {
public:
    VexlumeProcess(const std::string& program, const std::string& arguments = "",
                   const std::string& currentDirectory = "");
    ~VexlumeProcess();
    VexlumeProcess(const VexlumeProcess&) = delete;
    VexlumeProcess& operator=(const VexlumeProcess&) = delete;

    bool Started() const { return info_.hProcess != nullptr; }
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    // The main window published in the shared memory "magnifier", once it belongs to this
    // process and its thread answers (the message loop runs). Null when the wait gives up.
    HWND WaitForMainWindow();
    HWND MainWindow() const { return window_; }
    // True when the main thread answers a message (within kPatienceMs, as every wait).
    bool Answers() const;
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Sends a message to the main window and waits until it has been handled.
    bool Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void PostCommand(unsigned command) const { Post(WM_COMMAND, command, 0); }
    // Waits until the main thread has handled every message posted to it so far: a click on
    // the tray icon posted behind them opens the menu, which Escape closes again.
    bool HandledPosted() const;
    // Sends the command and waits for it to be handled.
    bool RunCommand(unsigned command) const;
    // True when the process ended (see WaitUntil); its exit code goes to `code`.
    bool WaitForExit(DWORD* code = nullptr);
    // From the start to the end of the process, once it has ended.
    double LifetimeMs() const;
    bool Running() const;
    // The loaded modules' file names, lower case.
    std::vector<std::string> Modules() const;
    bool HasModule(const std::string& name) const;
    // The full path of the loaded module `name` (lower case), or "" when it is not loaded.
    std::string ModulePath(const std::string& name) const;
    bool Read(uintptr_t address, void* out, size_t size) const;

private:
    PROCESS_INFORMATION info_ = {};
    HWND window_ = nullptr;
};

// The fake engine's shared block, made before the program starts and kept for the test.
class FakeEngine {
public:
    FakeEngine();
    ~FakeEngine();
    FakeEngine(const FakeEngine&) = delete;
    FakeEngine& operator=(const FakeEngine&) = delete;
    FakeEngineState* operator->() const { return state_; }
    // The settings record inside `program`, as the last qxCreateMagnifier saw its address.
    bool ReadRecord(const VexlumeProcess& program, SettingsRecord* record) const;
    // Waits (see WaitUntil) until `condition` holds.
    bool WaitFor(const std::function<bool(const FakeEngineState&)>& condition) const;
    // Waits until the program's callback has returned from every notification sent so far.
    bool WaitForAnswers() const;

private:
    HANDLE mapping_;
    FakeEngineState* state_;
};

// Points the user's application-data folder (the shell folder in the registry) at a path of
// `length` characters under %TEMP% for the programs started meanwhile, and back at the end.
class AppDataRedirect {
public:
    explicit AppDataRedirect(size_t length);
    ~AppDataRedirect();
    AppDataRedirect(const AppDataRedirect&) = delete;
    AppDataRedirect& operator=(const AppDataRedirect&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
    DWORD previousType_ = 0;
};

// Removes the settings and options files, the docked view's marker and every file of the plug-in
// folder, and ends any Vexlume left running by an earlier test, so that each test starts from a
// first run.
void ResetProgramState();
// The full path of the file `name` in the application-data folder.
std::string AppDataFile(const char* name);
// Writes the settings file the next start will load.
void WriteSettingsFile(const SettingsRecord& record);
// The defaults of a first run.
SettingsRecord FirstRunSettings();
std::string PluginFolder();
// The main window a running first instance published in the shared memory "magnifier", or null.
HWND PublishedWindow();

// The open popup menu of the process that owns `menuWindow`, read through menu_probe.dll.
struct MenuItemSeen {
    int depth;
    UINT id;
    UINT state;
    std::wstring text;
};
std::vector<MenuItemSeen> ReadOpenMenu(HWND menuWindow);
// The open popup menu window, or null when the wait gives up.
HWND WaitForPopupMenu();
// A top-level window of `processId` with this caption (any visible one with a caption when
// `caption` is null), or null when the wait gives up; `meanwhile`, when given, runs before each
// look.
HWND WaitForWindow(DWORD processId, const char* caption,
                   const std::function<void()>& meanwhile = nullptr);
// Waits until `window` is gone.
bool WaitClosed(HWND window);
// Whether some program holds this hot key: RegisterHotKey fails for a key already taken.
bool KeyTaken(UINT modifiers, UINT key);
// Presses and releases a key through the system's input.
void Press(WORD key);
// Starts the X server's input tool with `arguments` ("keydown ctrl+alt click 4 keyup ctrl+alt"),
// so that the keys and the wheel reach Wine as a real keyboard's and mouse's do. Wine gives no
// handle of a Linux program to wait for: the caller waits for what the input does.
void XInput(const std::string& arguments);
// Whether the tray shows an icon of `owner` with identifier 333.
bool TrayIconPresent(HWND owner);
// Whether a lens window of `processId` is shown.
bool LensWindowShown(DWORD processId);
