// Helpers shared by the Windows tests: the call log the fakes write into, the engine library
// bound by name as the main program binds it, and bounded waits.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "progress_wait.h"
#include "qxmagnifier.h"

// Adds one entry to the call log. Fakes linked into the test program call it directly; fake
// libraries find it by name among the program's exports.
extern "C" __declspec(dllexport) void VxRecordCall(const char* text);
// Every call the fakes recorded, in order, since the last ClearRecordedCalls.
std::vector<std::string> RecordedCalls();
void ClearRecordedCalls();
// The recorded calls that start with `prefix`.
std::vector<std::string> RecordedCallsStartingWith(const std::string& prefix);

// The folder of the running test program, without a trailing backslash.
std::string ProgramFolder();

// The whole content of a file (at most 64 KiB), or "(missing)" when it cannot be opened.
std::string FileContent(const std::string& path);

// A text value of the registry, or "(absent)".
std::string RegistryText(HKEY root, const char* key, const char* name);
void SetRegistryText(HKEY root, const char* key, const char* name, const std::string& text);

// Loads a fake library variant from bin\fakes\<variant>\<library>.dll and holds it until the
// object ends. The engine's load by bare name then finds this very module.
class PreloadedFake {
public:
    PreloadedFake(const char* library, const char* variant);
    ~PreloadedFake();
    PreloadedFake(const PreloadedFake&) = delete;
    PreloadedFake& operator=(const PreloadedFake&) = delete;
    HMODULE Module() const { return module_; }
    // Frees the test's own reference; true when the library is then gone from the process,
    // that is, when nobody else kept a reference.
    bool ReleaseAndCheckUnloaded();

private:
    std::string name_;
    HMODULE module_;
};

// The engine library, loaded by name from the program folder and bound like the main program
// binds it. Each Load starts from the library's load state.
class EngineLibrary {
public:
    EngineLibrary() { Load(); }
    ~EngineLibrary() { Unload(); }
    EngineLibrary(const EngineLibrary&) = delete;
    EngineLibrary& operator=(const EngineLibrary&) = delete;
    void Load();
    void Unload();
    bool Loaded() const { return module_ != nullptr && create && close && brightness; }

    QxCreateMagnifierFn create = nullptr;
    QxCloseMagnifierFn close = nullptr;
    QxSetBrightnessMagnifierFn brightness = nullptr;

private:
    HMODULE module_ = nullptr;
};

// Notifications the engine delivered to TestCallback, with the thread that ran each.
struct Notification {
    int code;
    DWORD threadId;
};
DWORD WINAPI TestCallback(LPVOID code);
std::vector<Notification> Notifications();
void ClearNotifications();
// Waits (see WaitUntil) for a notification with `code`; true when it arrived.
bool WaitForNotification(int code, Notification* found = nullptr);
// Runs `action` once from inside TestCallback when `code` arrives, on the notification thread.
void OnNotification(int code, void (*action)());

// Counts the engine's frames on every display path: while the lens follows the caret (set in
// `record`), the stand-in caret locator is asked once a frame.
class FrameCounter {
public:
    explicit FrameCounter(SettingsRecord* record) { record->engine.followFocus = 1; }
    int operator()() const { return queries_(); }

private:
    PreloadedFake caret_{"qxgetcaretpos", "full"};
    LONG(*queries_)
    () = reinterpret_cast<LONG (*)()>(reinterpret_cast<void*>(GetProcAddress(caret_.Module(),
                                                                             "FakeCaretQueries")));
};

// Puts the pointer at (x, y) and waits until it is read there. Under Wine it is moved through
// the X server, as a mouse moves it: after Wine's own SetCursorPos over a window of the process,
// every thread can read the old place again, for good.
bool MovePointer(int x, int y);

// Stands in for the main program's window: a hidden window published in the shared memory
// "magnifier", where the engine looks for the window that owns its Direct3D device.
class PublishedOwner {
public:
    PublishedOwner();
    ~PublishedOwner();
    PublishedOwner(const PublishedOwner&) = delete;
    PublishedOwner& operator=(const PublishedOwner&) = delete;
    HWND Window() const { return window_; }

private:
    HWND window_;
    HANDLE mapping_;
};

// A settings record with the defaults, its source size derived, for handing to the engine.
SettingsRecord DefaultRecord();
