// The program's entry point: command line, single instance, the hidden main window and the
// message loop.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>

#include "command_line.h"
#include "instance_mapping.h"
#include "main_window.h"
#include "path_join.h"
#include "program_folder.h"
#include "program_state.h"
#include "scoped_handles.h"
#include "splash.h"

namespace {

constexpr DWORD kDelayedStartMs = 10000;
constexpr DWORD kCloseRequestWaitMs = 2000;

typedef BOOL(WINAPI* SetDllDirectoryFn)(LPCSTR);

// Libraries loaded by bare name (the engine's optional libraries) are never taken from the
// current directory. Naming the program's folder as the library directory takes the current
// directory out of the search order; the empty name does the same on Windows but not under Wine.
// The call exists from Windows XP SP1 on, so it is bound by name.
void KeepCurrentDirectoryOutOfLibrarySearch() {
    auto setDllDirectory =
        BindProc<SetDllDirectoryFn>(GetModuleHandleA("kernel32.dll"), "SetDllDirectoryA");
    if (setDllDirectory == nullptr) {
        return;
    }
    char folder[kPathCapacity];
    setDllDirectory(ProgramFolder(folder) ? folder : "");
}

// Started with Windows: the current directory becomes the program's folder.
void EnterProgramFolder() {
    char folder[kPathCapacity];
    if (ProgramFolder(folder)) {
        SetCurrentDirectoryA(folder);
    }
}

// A second start with the letter u closes the first: WM_CLOSE at its main window is its Exit.
void CloseRunningInstance(HANDLE mapping) {
    UniqueView view(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!view) {
        return;
    }
    const uint32_t published = *static_cast<const volatile uint32_t*>(view.Get());
    SendMessageA(reinterpret_cast<HWND>(static_cast<uintptr_t>(published)), WM_CLOSE, 0, 0);
    Sleep(kCloseRequestWaitMs);
}

void RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    KeepCurrentDirectoryOutOfLibrarySearch();
    const StartOptions options = ParseCommandLine(commandLine);
    if (options.delayedStart) {
        Sleep(kDelayedStartMs);
        EnterProgramFolder();
    }
    programInstance = instance;
    InitCommonControls();

    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        kInstanceMappingSize, kInstanceMappingName);
    if (mapping == nullptr) {
        return 0;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        if (options.closeRunning) {
            CloseRunningInstance(mapping);
        }
        CloseHandle(mapping);
        return 0;
    }
    if (options.closeRunning) {
        CloseHandle(mapping);
        return 0;
    }
    // Without a view the window cannot be published; the program still runs, and the engine and
    // a later start simply read no window.
    UniqueView view(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));

    HWND window = CreateDialogParamA(programInstance, "About", nullptr, MainWindowProc, 0);
    if (window == nullptr) {
        return 0;
    }
    if (view) {
        *static_cast<volatile uint32_t*>(view.Get()) =
            static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
        view.Reset();
    }
    ShowSplash(window);

    RunMessageLoop();
    CloseHandle(mapping);
    return 0;
}
