// The running lens: frames per second with a frame wait of 0 and 20 ms at three lens sizes, and
// (at 256 x 128, frame wait 0) the median time from a pointer move to the lens image that shows
// it on the screen, next to the renderer's bare frame cost measured in the same run. Frames are
// counted through the caret locator stand-in, which the engine asks once per frame.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "instance_mapping.h"
#include "qxmagnifier.h"
#include "renderer_frame.h"
#include "screen_pattern.h"
#include "settings_logic.h"

extern "C" HANDLE WINAPI qxCreateMagnifier(EngineParameters*, EngineCallback);
extern "C" int WINAPI qxCloseMagnifier(HANDLE);

namespace {

volatile LONG g_lensUp = 0;

DWORD WINAPI OnNotification(LPVOID code) {
    if (reinterpret_cast<INT_PTR>(code) == kNotifyLensUp) {
        InterlockedExchange(&g_lensUp, 1);
    }
    return 0;
}

typedef LONG (*QueryCountFn)();

struct Lens {
    Lens(SettingsRecord* record) {
        InterlockedExchange(&g_lensUp, 0);
        thread = qxCreateMagnifier(&record->engine, OnNotification);
        for (int i = 0; i < 1000 && g_lensUp == 0; ++i) {
            Sleep(10);
        }
    }
    ~Lens() { qxCloseMagnifier(thread); }
    HANDLE thread;
};

double FramesPerSecond(SettingsRecord* record, QueryCountFn queries) {
    Lens lens(record);
    Sleep(300);
    const LONG before = queries();
    const double start = NowMs();
    Sleep(2000);
    return (queries() - before) * 1000.0 / (NowMs() - start);
}

// A picture of fine detail for the lens to magnify.
std::vector<uint32_t> Gradient(int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[static_cast<size_t>(y) * width + x] = static_cast<uint32_t>(
                ((x & 255) << 16) | ((y & 255) << 8) | ((x >> 8) | ((y >> 8) << 4)));
        }
    }
    return pixels;
}

// Moves the pointer and waits until the lens stands at the new place. The lens window is moved
// by the same call that puts the frame's image in it, so this is the time until the image that
// shows the new place is on the screen.
double MoveToImageMs(POINT to) {
    const LONG expectedLeft = to.x + 1 - 128;
    const double start = NowMs();
    SetCursorPos(to.x, to.y);
    while (NowMs() - start < 2000.0) {
        RECT lens;
        HWND window = FindWindowA("VX Overlay Window", nullptr);
        if (window != nullptr && GetWindowRect(window, &lens) && lens.left == expectedLeft) {
            return NowMs() - start;
        }
        Sleep(0);
    }
    return -1.0;
}

} // namespace

int main() {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        kInstanceMappingSize, kInstanceMappingName);
    if (void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
        *static_cast<HWND*>(view) = owner;
        UnmapViewOfFile(view);
    }
    char folder[MAX_PATH];
    GetModuleFileNameA(nullptr, folder, MAX_PATH);
    *std::strrchr(folder, '\\') = '\0';
    HMODULE caret =
        LoadLibraryA((std::string(folder) + "\\fakes\\full\\qxgetcaretpos.dll").c_str());
    auto queries = reinterpret_cast<QueryCountFn>(
        reinterpret_cast<void*>(GetProcAddress(caret, "FakeCaretQueries")));
    if (queries == nullptr) {
        std::printf("the caret locator stand-in is missing\n");
        return 1;
    }

    const int left = 100;
    const int top = 100;
    const int width = 1000;
    const int height = 800;
    const std::vector<uint32_t> picture = Gradient(width, height);
    PatternWindow window(left, top, width, height, picture);
    window.WaitUntilShown();

    std::printf("%-11s %13s %12s %12s %11s\n", "lens", "bare frame ms", "fps wait 0", "fps wait 20",
                "move->image");
    const UINT sizes[][2] = {{256, 128}, {512, 256}, {1280, 1024}};
    for (const auto& size : sizes) {
        const double bare = RendererFrameMs(owner, size[0], size[1], size[0] >= 1280 ? 30 : 100);
        SettingsRecord record;
        SetDefaultSettings(&record);
        record.engine.lensWidth = size[0];
        record.engine.lensHeight = size[1];
        record.engine.followFocus = 1;
        LensSizes sizes;
        DeriveSourceSize(&record, &sizes);
        SetCursorPos(500, 500);
        record.engine.frameWait = 0;
        const double fps0 = FramesPerSecond(&record, queries);
        record.engine.frameWait = 20;
        const double fps20 = FramesPerSecond(&record, queries);
        record.engine.frameWait = 0;

        std::vector<double> latencies;
        if (size[0] == 256) {
            Lens lens(&record);
            const POINT places[] = {{400, 300}, {750, 650}};
            for (int move = 0; move < 10; ++move) {
                const double ms = MoveToImageMs(places[move % 2]);
                if (ms >= 0) {
                    latencies.push_back(ms);
                }
                Sleep(50);
            }
        }
        std::sort(latencies.begin(), latencies.end());
        char latency[32] = "-";
        if (!latencies.empty()) {
            std::snprintf(latency, sizeof(latency), "%.1f ms", latencies[latencies.size() / 2]);
        }
        std::printf("%5ux%-5u %13.2f %12.1f %12.1f %11s\n", size[0], size[1], bare, fps0, fps20,
                    latency);
        std::fflush(stdout);
    }
    FreeLibrary(caret);
    CloseHandle(mapping);
    DestroyWindow(owner);
    return 0;
}
