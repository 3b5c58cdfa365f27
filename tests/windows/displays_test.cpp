// Modern displays: the engine's thread in physical pixels whatever its host declared, the lens on
// the monitor under the pointer (monitors supplied through the engine's monitor seam, since
// Wine shows one monitor here), and a scaled display (144 DPI) on which the program sees the
// physical screen, its dialogs grow with their font and the lens magnifies exactly.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "dpi_awareness.h"
#include "dpi_awareness_contexts.h"
#include "engine_seams.h"
#include "engine_state.h"
#include "lens_readback.h"
#include "monitor_bounds.h"
#include "scoped_handles.h"
#include "screen_pattern.h"
#include "test_support.h"
#include "vexlume_process.h"

extern "C" HANDLE WINAPI qxCreateMagnifier(EngineParameters*, EngineCallback);
extern "C" int WINAPI qxCloseMagnifier(HANDLE);

namespace {

typedef HANDLE(WINAPI* SetThreadContextFn)(HANDLE);
typedef HANDLE(WINAPI* GetThreadContextFn)();
typedef int(WINAPI* AwarenessFn)(HANDLE);

// The calling thread's awareness: 0 unaware, 1 system, 2 per monitor; -1 where the system
// cannot tell.
int ThreadAwareness() {
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    const auto get = BindProc<GetThreadContextFn>(user32, "GetThreadDpiAwarenessContext");
    const auto awareness = BindProc<AwarenessFn>(user32, "GetAwarenessFromDpiAwarenessContext");
    return get != nullptr && awareness != nullptr ? awareness(get()) : -1;
}

TEST(PhysicalPixels, AThreadOfAnUnawareHostIsPerMonitorAwareWhileTheEngineHoldsIt) {
    const auto set = BindProc<SetThreadContextFn>(GetModuleHandleA("user32.dll"),
                                                  "SetThreadDpiAwarenessContext");
    ASSERT_NE(nullptr, set);
    ASSERT_NE(nullptr, set(kDpiContextUnaware));
    ASSERT_EQ(0, ThreadAwareness());
    {
        const PhysicalPixelsOnThisThread physical;
        EXPECT_EQ(2, ThreadAwareness()) << "per monitor, in the second or the first version";
    }
    EXPECT_EQ(0, ThreadAwareness()) << "the host's awareness comes back";
}

// --- The lens on the monitor under the pointer, with monitors laid over Wine's one screen.

struct MonitorCase {
    const char* what;
    std::vector<IntRect> monitors;
    POINT pointer;
    RECT lens; // 256 x 128 around the pointer plus one, kept on its monitor
};

const MonitorCase kMonitorCases[] = {
    {"left of two side by side, near the shared edge",
     {{0, 0, 640, 1024}, {640, 0, 1280, 1024}},
     {630, 500},
     {384, 437, 640, 565}},
    {"right of the two, near the shared edge",
     {{0, 0, 640, 1024}, {640, 0, 1280, 1024}},
     {650, 500},
     {640, 437, 896, 565}},
    {"a monitor reaching left of the screen",
     {{-640, 0, 640, 1024}},
     {10, 500},
     {-117, 437, 139, 565}},
    {"lower of two, one above another",
     {{0, 0, 1280, 512}, {0, 512, 1280, 1024}},
     {700, 520},
     {573, 512, 829, 640}},
    {"the upper monitor removed while the pointer rests",
     {{0, 0, 1280, 1024}},
     {700, 520},
     {573, 457, 829, 585}},
};

std::atomic<int> currentCase{0};

IntRect MonitorOfCurrentCase(IntPoint p) {
    const std::vector<IntRect>& monitors = kMonitorCases[currentCase.load()].monitors;
    for (const IntRect& m : monitors) {
        if (p.x >= m.left && p.x < m.right && p.y >= m.top && p.y < m.bottom) {
            return m;
        }
    }
    return monitors.front();
}

TEST(LensOnMonitors, TheLensStaysOnTheMonitorUnderThePointerAndFollowsLayoutChanges) {
    PublishedOwner owner;
    ClearNotifications();
    currentCase = 0;
    const SeamSwap<decltype(EngineSeams::monitorUnderPoint)> monitors(Seams().monitorUnderPoint,
                                                                      MonitorOfCurrentCase);
    SettingsRecord record = DefaultRecord();
    record.engine.displayMode = 2; // the lens window
    record.engine.frameWait = 10;
    MovePointer(kMonitorCases[0].pointer.x, kMonitorCases[0].pointer.y);
    HANDLE thread = qxCreateMagnifier(&record.engine, TestCallback);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(WaitForNotification(kNotifyLensUp));
    for (int i = 0; i < static_cast<int>(std::size(kMonitorCases)); ++i) {
        const MonitorCase& c = kMonitorCases[i];
        currentCase = i;
        MovePointer(c.pointer.x, c.pointer.y);
        // A layout change while the pointer rests is taken up.
        EXPECT_TRUE(WaitForLensAt(c.lens)) << c.what;
    }
    qxCloseMagnifier(thread);
    EXPECT_TRUE(WaitForNotification(kNotifyEnded));
}

// --- A display scaled to 144 DPI (the prefix's LogPixels), for programs started meanwhile.

const char kDesktopKey[] = "Control Panel\\Desktop";
const char kScaledChild[] = "VX_SCALED_DISPLAY_CHILD";

// Sets the display's DPI for programs started from now on and puts the old value back at the end.
class DisplayDpi {
public:
    explicit DisplayDpi(DWORD dpi) {
        DWORD size = sizeof(old_);
        hadValue_ = RegGetValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", RRF_RT_REG_DWORD,
                                 nullptr, &old_, &size) == ERROR_SUCCESS;
        Set(dpi);
    }
    ~DisplayDpi() {
        if (hadValue_) {
            Set(old_);
        } else {
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels");
        }
    }
    DisplayDpi(const DisplayDpi&) = delete;
    DisplayDpi& operator=(const DisplayDpi&) = delete;

private:
    static void Set(DWORD dpi) {
        RegSetKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", REG_DWORD, &dpi, sizeof(dpi));
    }
    DWORD old_ = 0;
    bool hadValue_ = false;
};

struct SettingsSeen {
    std::string fullScreenEntry;
    SIZE okButton = {0, 0};
};

// Opens the settings dialog of a first run of the program and reads what it shows; OK closes it.
SettingsSeen ReadSettingsDialog() {
    SettingsSeen seen;
    ResetProgramState();
    ProgramCopy copy(EngineBeside::None);
    VexlumeProcess program(copy.Program());
    EXPECT_NE(nullptr, program.WaitForMainWindow());
    program.PostCommand(6000);
    HWND dialog = WaitForWindow(program.Id(), "Vexlume Settings");
    EXPECT_TRUE(dialog != nullptr && WaitUntil([dialog] { return IsWindowVisible(dialog); }))
        << "shown once filled";
    if (dialog == nullptr) {
        return seen;
    }
    wchar_t entry[64] = {}; // the list keeps its texts in UTF-16; one language suffices here
    SendDlgItemMessageW(dialog, 1037, CB_GETLBTEXT, 6, reinterpret_cast<LPARAM>(entry));
    seen.fullScreenEntry.assign(entry, entry + lstrlenW(entry));
    RECT ok;
    GetWindowRect(GetDlgItem(dialog, 1010), &ok);
    seen.okButton = {ok.right - ok.left, ok.bottom - ok.top};
    SendMessageA(GetDlgItem(dialog, 1010), BM_CLICK, 0, 0);
    EXPECT_TRUE(program.Answers());
    return seen;
}

// Runs the ScaledDisplayInside tests in a new copy of this program, which sees the scaled display.
DWORD RunInsideTests() {
    std::string command =
        "\"" + ProgramFolder() + "\\displays_test.exe\" --gtest_filter=ScaledDisplayInside.*";
    SetEnvironmentVariableA(kScaledChild, "1");
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child = {};
    const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &child);
    SetEnvironmentVariableA(kScaledChild, nullptr);
    if (!started) {
        return 1000;
    }
    UniqueHandle process(child.hProcess);
    CloseHandle(child.hThread);
    DWORD code = 1001;
    if (!WaitForEnd(process.Get())) {
        TerminateProcess(process.Get(), code);
    }
    GetExitCodeProcess(process.Get(), &code);
    return code;
}

TEST(ScaledDisplay, TheProgramSeesThePhysicalScreenItsDialogGrowsWithItsFontTheLensIsExact) {
    const SettingsSeen unscaled = ReadSettingsDialog();
    const DisplayDpi scaled(144);
    const SettingsSeen seen = ReadSettingsDialog();
    EXPECT_EQ("Full Screen (" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                  std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ")",
              seen.fullScreenEntry)
        << "the screen in physical pixels";
    // 50 x 14 dialog units in a font 1.5 times as large, give or take the font's rounding.
    EXPECT_NEAR(unscaled.okButton.cx * 1.5, seen.okButton.cx, unscaled.okButton.cx * 0.15);
    EXPECT_NEAR(unscaled.okButton.cy * 1.5, seen.okButton.cy, unscaled.okButton.cy * 0.15);
    EXPECT_EQ(0u, RunInsideTests()) << "the lens on the scaled display, in a program started on it";
}

// The lens image, read back through the clipboard as 0x00RRGGBB rows, top first.
std::vector<uint32_t> ClipboardPixels(int width, int height) {
    if (!OpenClipboard(nullptr)) {
        return {};
    }
    std::vector<uint32_t> pixels =
        BitmapPixels(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)), width, height);
    CloseClipboard();
    return pixels;
}

TEST(ScaledDisplayInside, TheLensOverAPatternIsItsExactTwofoldMagnification) {
    if (std::getenv(kScaledChild) == nullptr) {
        GTEST_SKIP() << "run by ScaledDisplay in a program started on the scaled display";
    }
    WindowDc screen(nullptr, GetDC(nullptr));
    ASSERT_EQ(144, GetDeviceCaps(screen.Get(), LOGPIXELSX)) << "the display is scaled";
    EngineLibrary engine;
    ASSERT_TRUE(engine.Loaded());
    PublishedOwner owner;
    const std::vector<uint32_t> pattern = DetailPattern(160, 120, 11);
    PatternWindow picture(300, 300, 160, 120, pattern);
    ASSERT_TRUE(picture.WaitUntilShown());
    SettingsRecord record = DefaultRecord(); // 256 x 128 from 128 x 64
    record.engine.displayMode = 2;           // only the window under the pointer: no lens in it
    record.engine.frameWait = 10;
    MovePointer(379, 359);
    HANDLE thread = engine.create(&record.engine, TestCallback);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(WaitForNotification(kNotifyLensUp));
    engine.brightness(1, 1000 - engine.brightness(0, 0));
    ASSERT_TRUE(WaitForFrames(&record, 2)) << "the neutral brightness is shown";
    StoreShared(record.engine.captureRequest, 1);
    ASSERT_TRUE(WaitForCaptureServed(record));
    const std::vector<uint32_t> copy = ClipboardPixels(256, 128);
    engine.close(thread);
    ASSERT_EQ(256u * 128u, copy.size());
    // The source is 128 x 64 around (380, 360), all of it inside the picture.
    int mismatches = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 256; ++x) {
            const size_t source =
                static_cast<size_t>(360 - 32 + y / 2 - 300) * 160 + (380 - 64 + x / 2 - 300);
            if (copy[static_cast<size_t>(y) * 256 + x] != pattern[source] && ++mismatches < 5) {
                ADD_FAILURE() << "lens pixel (" << x << ", " << y << ")";
            }
        }
    }
    EXPECT_EQ(0, mismatches);
}

} // namespace
