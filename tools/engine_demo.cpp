// Drives the engine library the way the tray program will: loads qxmagnifier.dll by name, starts
// a lens run over a default settings record, answers its notifications, and closes it.
#include <windows.h>

#include <cstdio>

#include "instance_mapping.h"
#include "qxmagnifier.h"
#include "settings_logic.h"

namespace {

SettingsRecord g_record;
QxSetBrightnessMagnifierFn g_brightness = nullptr;

const char* Describe(int code) {
    switch (code) {
    case kNotifySetupFailed:
        return "display set-up failed";
    case kNotifyEnded:
        return "frame loop ended";
    case kNotifySurfaceLost:
        return "display surface lost";
    case kNotifyPresentFailed:
        return "presentation failed";
    case kNotifyLensUp:
        return "lens is up";
    default:
        return "unknown";
    }
}

DWORD WINAPI OnNotification(LPVOID parameter) {
    const int code = static_cast<int>(reinterpret_cast<INT_PTR>(parameter));
    std::printf("  notification %d: %s\n", code, Describe(code));
    if (code == kNotifyLensUp) {
        const int current = g_brightness(0, 0);
        if (current >= 0 && current < 1000) {
            g_brightness(1, 1000 - current);
        }
        std::printf("  brightness %d -> %d\n", current, g_brightness(0, 0));
    }
    std::fflush(stdout);
    return 0;
}

template <class Fn> Fn Bind(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

int main() {
    std::printf("Vexlume engine demo. The tray program Vexlume.exe is not built yet; this runs the "
                "engine library on its own.\n");
    HMODULE engine = LoadLibraryA(QX_ENGINE_LIBRARY);
    if (engine == nullptr) {
        std::printf("qxmagnifier.dll is not found\n");
        return 1;
    }
    auto create = Bind<QxCreateMagnifierFn>(engine, "qxCreateMagnifier");
    auto close = Bind<QxCloseMagnifierFn>(engine, "qxCloseMagnifier");
    g_brightness = Bind<QxSetBrightnessMagnifierFn>(engine, "qxSetBrightnessMagnifier");
    if (create == nullptr || close == nullptr || g_brightness == nullptr) {
        std::printf("qxmagnifier.dll lacks an export\n");
        return 1;
    }
    std::printf("qxmagnifier.dll loaded; qxCreateMagnifier, qxCloseMagnifier and "
                "qxSetBrightnessMagnifier bound by name\n");

    // The engine's Direct3D device belongs to the main program's window, which the main program
    // publishes in the shared memory "magnifier"; this demo does the same.
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        kInstanceMappingSize, kInstanceMappingName);
    if (void* view =
            mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0) : nullptr) {
        *static_cast<HWND*>(view) = window;
        UnmapViewOfFile(view);
    }

    SetDefaultSettings(&g_record);
    LensSizes sizes;
    DeriveSourceSize(&g_record, &sizes);
    std::printf("settings: lens %ux%u, zoom %.1f, source %ux%u, frame wait %u ms\n",
                g_record.engine.lensWidth, g_record.engine.lensHeight, g_record.engine.zoom,
                g_record.engine.sourceWidth, g_record.engine.sourceHeight,
                g_record.engine.frameWait);
    std::fflush(stdout);

    HANDLE thread = create(&g_record.engine, OnNotification);
    if (thread == nullptr) {
        std::printf("the engine did not start\n");
        return 1;
    }
    Sleep(2000);
    const DWORD start = GetTickCount();
    close(thread);
    std::printf("closed after 2 s of running; the close took %lu ms\n",
                static_cast<unsigned long>(GetTickCount() - start));
    Sleep(100);
    FreeLibrary(engine);
    CloseHandle(mapping);
    DestroyWindow(window);
    return 0;
}
