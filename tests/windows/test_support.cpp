#include "test_support.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <utility>

#include "instance_mapping.h"
#include "scoped_handles.h"
#include "settings_logic.h"

namespace {

// Never destroyed: a notification thread that the engine started at the end of a run may still
// write here while the test exits.
std::mutex& g_lock = *new std::mutex;
std::vector<std::string>& g_calls = *new std::vector<std::string>;
std::vector<Notification>& g_notifications = *new std::vector<Notification>;
int g_actionCode = -1;
void (*g_action)() = nullptr;

} // namespace

extern "C" __declspec(dllexport) void VxRecordCall(const char* text) {
    std::lock_guard<std::mutex> hold(g_lock);
    g_calls.push_back(text);
}

std::vector<std::string> RecordedCalls() {
    std::lock_guard<std::mutex> hold(g_lock);
    return g_calls;
}

void ClearRecordedCalls() {
    std::lock_guard<std::mutex> hold(g_lock);
    g_calls.clear();
}

std::vector<std::string> RecordedCallsStartingWith(const std::string& prefix) {
    std::vector<std::string> matches;
    for (const std::string& call : RecordedCalls()) {
        if (call.compare(0, prefix.size(), prefix) == 0) {
            matches.push_back(call);
        }
    }
    return matches;
}

std::string FileContent(const std::string& path) {
    // Shared for writing too: a test that polls a file must never keep its writer out.
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return "(missing)";
    }
    std::string bytes;
    char block[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), block, sizeof(block), &read, nullptr) && read > 0) {
        bytes.append(block, read);
    }
    return bytes;
}

std::string RegistryText(HKEY root, const char* key, const char* name) {
    char data[1024] = {};
    DWORD size = sizeof(data);
    return RegGetValueA(root, key, name, RRF_RT_REG_SZ, nullptr, data, &size) == ERROR_SUCCESS
               ? data
               : "(absent)";
}

void SetRegistryText(HKEY root, const char* key, const char* name, const std::string& text) {
    RegSetKeyValueA(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

PreloadedFake::PreloadedFake(const char* library, const char* variant)
    : name_(std::string(library) + ".dll"),
      module_(LoadLibraryA((ProgramFolder() + "\\fakes\\" + variant + "\\" + name_).c_str())) {}

PreloadedFake::~PreloadedFake() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
    }
}

bool PreloadedFake::ReleaseAndCheckUnloaded() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
    return GetModuleHandleA(name_.c_str()) == nullptr;
}

void EngineLibrary::Load() {
    Unload();
    module_ = LoadLibraryA((ProgramFolder() + "\\" QX_ENGINE_LIBRARY).c_str());
    create = reinterpret_cast<QxCreateMagnifierFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "qxCreateMagnifier")));
    close = reinterpret_cast<QxCloseMagnifierFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "qxCloseMagnifier")));
    brightness = reinterpret_cast<QxSetBrightnessMagnifierFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "qxSetBrightnessMagnifier")));
}

void EngineLibrary::Unload() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
    create = nullptr;
    close = nullptr;
    brightness = nullptr;
}

DWORD WINAPI TestCallback(LPVOID code) {
    const int value = static_cast<int>(reinterpret_cast<INT_PTR>(code));
    void (*action)() = nullptr;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_notifications.push_back({value, GetCurrentThreadId()});
        g_calls.push_back("notify " + std::to_string(value));
        if (value == g_actionCode) {
            action = std::exchange(g_action, nullptr);
            g_actionCode = -1;
        }
    }
    if (action != nullptr) {
        action();
    }
    return 0;
}

std::vector<Notification> Notifications() {
    std::lock_guard<std::mutex> hold(g_lock);
    return g_notifications;
}

void ClearNotifications() {
    std::lock_guard<std::mutex> hold(g_lock);
    g_notifications.clear();
    g_actionCode = -1;
    g_action = nullptr;
}

bool WaitForNotification(int code, Notification* found) {
    return WaitUntil([&] {
        for (const Notification& n : Notifications()) {
            if (n.code == code) {
                if (found != nullptr) {
                    *found = n;
                }
                return true;
            }
        }
        return false;
    });
}

void OnNotification(int code, void (*action)()) {
    std::lock_guard<std::mutex> hold(g_lock);
    g_actionCode = code;
    g_action = action;
}

bool MovePointer(int x, int y) {
    std::string command =
        "Z:\\usr\\bin\\xdotool mousemove " + std::to_string(x) + " " + std::to_string(y);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION tool = {};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &tool)) {
        WaitForEnd(tool.hProcess);
        CloseHandle(tool.hThread);
        CloseHandle(tool.hProcess);
    } else {
        SetCursorPos(x, y);
    }
    return WaitUntil([x, y] {
        POINT at = {};
        return GetCursorPos(&at) && at.x == x && at.y == y;
    });
}

PublishedOwner::PublishedOwner()
    : window_(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr)),
      mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  kInstanceMappingSize, kInstanceMappingName)) {
    if (mapping_ != nullptr) {
        if (void* view = MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
            *static_cast<HWND*>(view) = window_;
            UnmapViewOfFile(view);
        }
    }
}

PublishedOwner::~PublishedOwner() {
    if (mapping_ != nullptr) {
        CloseHandle(mapping_);
    }
    DestroyWindow(window_);
}

SettingsRecord DefaultRecord() {
    SettingsRecord record;
    SetDefaultSettings(&record);
    LensSizes sizes;
    DeriveSourceSize(&record, &sizes);
    return record;
}
