// The running lens next to a plain GDI magnifier, in the same run, at three lens sizes with a
// frame wait of 0: frames per second, and the median time from a pointer move to the first lens
// image at the new place. The pointer is moved through the X server, by the helper that reads this
// program's output (tools/xtest_pointer.py): a line "VXMOVE x y" asks for a move. Wine's own
// SetCursorPos is not used, since in a virtual desktop it lets other threads read the old place
// for about 100 ms.
//
// The lens is the engine as the main program runs it: brightness raised to 1000 when the lens is
// up, no internal cursor, "Show all". Its frames are counted through the caret locator stand-in,
// which the engine asks once per frame. The floor is what a magnifier cannot do with less: each
// loop reads the pointer, stretches the source from the screen into a 32-bit DIB section and
// puts it into a layered window at the lens place with UpdateLayeredWindow.
//
// Output, one line per lens size (medians over the rounds):
//   lens WxH: engine_fps=E floor_fps=F ratio=R latency_ms=L floor_latency_ms=M
// and the same for the lens as users set it up beyond that, each MODE on a line of its own, the
// floor the same: brightness=3000, cursor (the internal arrow), filter=invert (the shipped filter
// "Invert Colours" switched on), smooth (bilinear scaling):
//   lens WxH MODE: engine_fps=E floor_fps=F ratio=R latency_ms=L floor_latency_ms=M
// A latency of -1 means the pointer could not be moved (no helper, or no X server). These lenses
// start every frame at once (the frame clock's seam). Then the lens as users get it, paced, over
// a still screen, with the refresh rate the engine reads and the process's processor time (user
// and kernel) over the wall time:
//   pace WxH wait=W: frames_per_s=F refresh_hz=H cpu_share=C
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine_options.h"
#include "engine_seams.h"
#include "frame_clock.h"
#include "instance_mapping.h"
#include "lens_image.h"
#include "lens_placement.h"
#include "plugin_folder.h"
#include "qxmagnifier.h"
#include "renderer_frame.h"
#include "run_control.h"
#include "scoped_handles.h"
#include "screen_pattern.h"
#include "settings_logic.h"

extern "C" HANDLE WINAPI qxCreateMagnifier(EngineParameters*, EngineCallback);
extern "C" int WINAPI qxCloseMagnifier(HANDLE);
extern "C" int WINAPI qxSetBrightnessMagnifier(int, int);
extern "C" int WINAPI qxSetOptionsMagnifier(const EngineOptions*);

namespace {

constexpr double kCountMs = 1500.0;
constexpr int kMoves = 16;
// The floor and the lens take turns this often, so that a change in the machine's load falls on
// both; the figures are the medians over the rounds.
constexpr int kRounds = 3;
const POINT kPlaces[2] = {{800, 560}, {1100, 640}};

volatile LONG g_lensUp = 0;
volatile LONG g_brightness = 1000;

// As the main program does at code 4: the brightness the run should have.
DWORD WINAPI OnNotification(LPVOID code) {
    if (reinterpret_cast<INT_PTR>(code) == kNotifyLensUp) {
        qxSetBrightnessMagnifier(1, g_brightness - qxSetBrightnessMagnifier(0, 0));
        InterlockedExchange(&g_lensUp, 1);
    }
    return 0;
}

typedef LONG (*QueryCountFn)();

// Waits while handling this thread's messages. The picture under the pointer is a window of this
// thread, and Wine takes in the pointer's moves over it only while its thread reads messages, as
// every program's window thread does.
void Wait(DWORD milliseconds) {
    const double end = NowMs() + milliseconds;
    do {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
    } while (NowMs() < end);
}

// Asks the helper to move the pointer through the X server.
void MovePointer(POINT to) {
    std::printf("VXMOVE %ld %ld\n", to.x, to.y);
    std::fflush(stdout);
}

bool PointerAt(POINT at) {
    POINT now;
    return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
}

// The lens rectangle the engine's placement gives for the pointer at `at`.
RECT LensPlaceFor(const SettingsRecord& record, POINT at) {
    const LensRun run = MakeLensRun(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                    record.engine.lensWidth, record.engine.lensHeight);
    FrameReadings readings = ReadFrameSettings(record.engine);
    readings.pointer = IntPoint{at.x, at.y};
    FollowState follow;
    const LensPlacement placement = PlaceLens(run, readings, &follow);
    return RECT{placement.lens.left, placement.lens.top, placement.lens.right,
                placement.lens.bottom};
}

// Moves the pointer to `to` and waits until `window` stands at the lens place for it: the lens
// window is moved by the same call that puts the frame's image into it. Milliseconds, or -1.
double MoveToImageMs(HWND window, const SettingsRecord& record, POINT to) {
    const RECT expected = LensPlaceFor(record, to);
    const double start = NowMs();
    MovePointer(to);
    while (NowMs() - start < 2000.0) {
        RECT lens;
        if (GetWindowRect(window, &lens) && EqualRect(&lens, &expected)) {
            return NowMs() - start;
        }
        Wait(0);
    }
    return -1.0;
}

double Median(std::vector<double> values) {
    values.erase(std::remove(values.begin(), values.end(), -1.0), values.end());
    if (values.empty()) {
        return -1.0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// What is measured of one contender, the floor or the lens, over all rounds.
struct Figures {
    std::vector<double> fps;
    std::vector<double> latencies; // one a move, -1 for a move not seen
};

// Pointer-to-image times of alternating moves between the two places, after pauses of varied
// length so that the moves fall across the contender's whole frame, not at one point of it.
void MeasureLatencies(HWND window, const SettingsRecord& record, bool pointerMoves,
                      Figures* figures) {
    if (!pointerMoves || window == nullptr) {
        return;
    }
    uint32_t state = 12345;
    for (int move = 0; move < kMoves; ++move) {
        figures->latencies.push_back(MoveToImageMs(window, record, kPlaces[move % 2]));
        state = state * 1664525u + 1013904223u;
        Wait(60 + (state >> 8) % 50);
    }
}

// The engine's lens for one measurement, started and closed like the main program does.
class Lens {
public:
    explicit Lens(SettingsRecord* record) {
        InterlockedExchange(&g_lensUp, 0);
        thread_ = qxCreateMagnifier(&record->engine, OnNotification);
        for (int i = 0; i < 1000 && g_lensUp == 0; ++i) {
            Wait(10);
        }
        Wait(300);
    }
    ~Lens() { qxCloseMagnifier(thread_); }
    Lens(const Lens&) = delete;
    Lens& operator=(const Lens&) = delete;
    HWND Window() const { return FindWindowA("VX Overlay Window", nullptr); }

private:
    HANDLE thread_;
};

// The plain GDI magnifier, running on a thread of its own for one measurement.
class Floor {
public:
    explicit Floor(const SettingsRecord& record) : record_(record) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VX Floor Lens";
        RegisterClassA(&windowClass);
        thread_ = CreateThread(nullptr, 0, Loop, this, 0, nullptr);
        for (int i = 0; i < 500 && window_ == nullptr; ++i) {
            Wait(10);
        }
        Wait(300);
    }
    ~Floor() {
        InterlockedExchange(&stop_, 1);
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
        UnregisterClassA("VX Floor Lens", GetModuleHandleA(nullptr));
    }
    Floor(const Floor&) = delete;
    Floor& operator=(const Floor&) = delete;
    HWND Window() const { return window_; }
    LONG Frames() const { return frames_; }

private:
    static DWORD WINAPI Loop(LPVOID self) {
        static_cast<Floor*>(self)->Run();
        return 0;
    }
    void Run() {
        const EngineParameters& e = record_.engine;
        const int width = static_cast<int>(e.lensWidth);
        const int height = static_cast<int>(e.lensHeight);
        HWND window = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW |
                                          WS_EX_TRANSPARENT | WS_EX_TOPMOST,
                                      "VX Floor Lens", "", WS_POPUP, 0, 0, width, height, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        {
            WindowDc screen(nullptr, GetDC(nullptr));
            LensImage image; // a 32-bit DIB section in a memory device context
            image.Create(e.lensWidth, e.lensHeight);
            const LensRun run =
                MakeLensRun(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                            e.lensWidth, e.lensHeight);
            FrameReadings readings = ReadFrameSettings(e);
            FollowState follow;
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, 0};
            SIZE size = {width, height};
            POINT origin = {0, 0};
            window_ = window;
            while (stop_ == 0) {
                POINT pointer;
                GetCursorPos(&pointer);
                readings.pointer = IntPoint{pointer.x, pointer.y};
                const LensPlacement placement = PlaceLens(run, readings, &follow);
                StretchBlt(image.Dc(), 0, 0, width, height, screen.Get(), placement.source.x,
                           placement.source.y, static_cast<int>(e.sourceWidth),
                           static_cast<int>(e.sourceHeight), SRCCOPY | CAPTUREBLT);
                POINT at = {placement.lens.left, placement.lens.top};
                UpdateLayeredWindow(window, nullptr, &at, &size, image.Dc(), &origin, 0, &blend,
                                    ULW_ALPHA);
                InterlockedIncrement(&frames_);
                MSG message;
                while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                    DispatchMessageA(&message);
                }
            }
        }
        DestroyWindow(window);
    }

    SettingsRecord record_;
    HANDLE thread_ = nullptr;
    HWND volatile window_ = nullptr;
    volatile LONG frames_ = 0;
    volatile LONG stop_ = 0;
};

template <class CountFn> double FramesPerSecond(CountFn frames) {
    const LONG before = frames();
    const double start = NowMs();
    Wait(static_cast<DWORD>(kCountMs));
    return (frames() - before) * 1000.0 / (NowMs() - start);
}

SettingsRecord LensRecord(UINT width, UINT height) {
    SettingsRecord record;
    SetDefaultSettings(&record);
    record.engine.lensWidth = width;
    record.engine.lensHeight = height;
    record.engine.followFocus = 1; // binds the caret stand-in that counts the frames
    record.engine.frameWait = 0;
    LensSizes sizes;
    DeriveSourceSize(&record, &sizes);
    return record;
}

void MeasureFloor(const SettingsRecord& record, bool pointerMoves, Figures* figures) {
    Floor floor(record);
    figures->fps.push_back(FramesPerSecond([&] { return floor.Frames(); }));
    MeasureLatencies(floor.Window(), record, pointerMoves, figures);
}

void AwaitNothing(FrameClock&, uint32_t) {
    WaitBetweenFrames(0);
}

void MeasureEngine(SettingsRecord* record, int brightness, QueryCountFn queries, bool pointerMoves,
                   Figures* figures) {
    const SeamSwap<decltype(Seams().awaitFrame)> unpaced(Seams().awaitFrame, AwaitNothing);
    InterlockedExchange(&g_brightness, brightness);
    Lens lens(record);
    figures->fps.push_back(FramesPerSecond([&] { return queries(); }));
    MeasureLatencies(lens.Window(), *record, pointerMoves, figures);
}

// This process's processor time, user and kernel, in milliseconds.
double ProcessorMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ms = [](FILETIME t) { return (t.dwLowDateTime + 0x1p32 * t.dwHighDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

// The paced lens at two sizes and the frame waits 0 and 20 (the main program's default).
void MeasurePacing(QueryCountFn queries) {
    const uint32_t refreshHz = MonitorRefreshHz(IntRect{0, 0, 1, 1}); // the one monitor
    const UINT sizes[][2] = {{256, 128}, {1280, 1024}};
    for (const auto& size : sizes) {
        for (const uint32_t wait : {0u, 20u}) {
            SettingsRecord record = LensRecord(size[0], size[1]);
            record.engine.frameWait = wait;
            InterlockedExchange(&g_brightness, 1000);
            Lens lens(&record);
            const LONG frames = queries();
            const double processor = ProcessorMs();
            const double start = NowMs();
            Sleep(static_cast<DWORD>(3 * kCountMs)); // this thread costs nothing meanwhile
            const double wall = NowMs() - start;
            std::printf("pace %ux%u wait=%u: frames_per_s=%.1f refresh_hz=%u cpu_share=%.2f\n",
                        size[0], size[1], wait, (queries() - frames) * 1000.0 / wall, refreshHz,
                        (ProcessorMs() - processor) / wall);
            std::fflush(stdout);
        }
    }
}

// The lens as users set it up beyond the plain one.
struct LensMode {
    const char* name;
    int brightness;
    uint32_t internalCursor;
    const char* filter; // a shipped filter switched on in the plug-in folder, or null
    uint32_t smooth;
};
const LensMode kModes[] = {
    {"brightness=3000", 3000, 0, nullptr, 0},
    {"cursor", 1000, 1, nullptr, 0},
    {"filter=invert", 1000, 0, "Invert Colours.dll", 0},
    {"smooth", 1000, 0, nullptr, 1},
};
constexpr int kModeCount = sizeof(kModes) / sizeof(kModes[0]);

// One measurement of the engine in `mode`: its filter copied into the plug-in folder and its
// options handed over for the run, both taken back after it.
void MeasureMode(const LensMode& mode, SettingsRecord record, QueryCountFn queries,
                 bool pointerMoves, Figures* figures) {
    record.engine.internalCursor = mode.internalCursor;
    EngineOptions options = kDefaultEngineOptions;
    options.smooth = mode.smooth;
    qxSetOptionsMagnifier(&options);
    char folder[kPathCapacity];
    char installed[kPathCapacity] = {};
    if (mode.filter != nullptr && ComposePluginFolder(folder) &&
        PluginPathInFolder(installed, folder, mode.filter)) {
        char shipped[MAX_PATH];
        GetModuleFileNameA(nullptr, shipped, MAX_PATH);
        *std::strrchr(shipped, '\\') = '\0';
        CopyFileA((std::string(shipped) + "\\plugins\\" + mode.filter).c_str(), installed, FALSE);
    }
    MeasureEngine(&record, mode.brightness, queries, pointerMoves, figures);
    if (installed[0] != '\0') {
        DeleteFileA(installed);
    }
    qxSetOptionsMagnifier(nullptr);
}

void PrintLens(const UINT* size, const char* mode, const Figures& engine, const Figures& floor) {
    const double floorFps = Median(floor.fps);
    std::printf("lens %ux%u%s%s: engine_fps=%.1f floor_fps=%.1f ratio=%.2f latency_ms=%.1f "
                "floor_latency_ms=%.1f\n",
                size[0], size[1], mode[0] != '\0' ? " " : "", mode, Median(engine.fps), floorFps,
                Median(engine.fps) / floorFps, Median(engine.latencies), Median(floor.latencies));
    std::fflush(stdout);
}

} // namespace

int main() {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    UniqueHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            kInstanceMappingSize, kInstanceMappingName));
    if (UniqueView view{MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0)}) {
        *static_cast<HWND*>(view.Get()) = owner;
    }
    char folder[MAX_PATH];
    GetModuleFileNameA(nullptr, folder, MAX_PATH);
    *std::strrchr(folder, '\\') = '\0';
    UniqueModule caret(
        LoadLibraryA((std::string(folder) + "\\fakes\\full\\qxgetcaretpos.dll").c_str()));
    const auto queries = BindProc<QueryCountFn>(caret.Get(), "FakeCaretQueries");
    if (queries == nullptr) {
        std::printf("the caret locator stand-in is missing\n");
        return 1;
    }

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    PatternWindow picture(0, 0, screenWidth, screenHeight,
                          DetailPattern(screenWidth, screenHeight, 17));
    picture.WaitUntilShown();

    const POINT start = {500, 500};
    MovePointer(start);
    bool pointerMoves = false;
    for (int i = 0; i < 200 && !pointerMoves; ++i) {
        Wait(10);
        pointerMoves = PointerAt(start);
    }
    if (!pointerMoves) {
        std::printf("the pointer cannot be moved through the X server: no latencies\n");
    }
    std::printf("screen %dx%d\n", screenWidth, screenHeight);
    std::fflush(stdout);

    const UINT sizes[][2] = {{256, 128}, {512, 256}, {1280, 1024}};
    for (const auto& size : sizes) {
        SettingsRecord record = LensRecord(size[0], size[1]);
        Figures floor;
        Figures plain;
        Figures modes[kModeCount];
        for (int round = 0; round < kRounds; ++round) {
            MeasureFloor(record, pointerMoves, &floor);
            MeasureEngine(&record, 1000, queries, pointerMoves, &plain);
            for (int mode = 0; mode < kModeCount; ++mode) {
                MeasureMode(kModes[mode], record, queries, pointerMoves, &modes[mode]);
            }
        }
        PrintLens(size, "", plain, floor);
        for (int mode = 0; mode < kModeCount; ++mode) {
            PrintLens(size, kModes[mode].name, modes[mode], floor);
        }
    }
    MeasurePacing(queries);
    DestroyWindow(owner);
    return 0;
}
