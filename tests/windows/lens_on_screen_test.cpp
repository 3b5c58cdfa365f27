// The engine library running a lens over known pictures on Wine's screen: the lens window
// follows the pointer, and the clipboard copy reaches another program.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "screen_pattern.h"
#include "settings_logic.h"
#include "test_support.h"

namespace {

constexpr int kScreenWidth = 1280;

struct ClipboardImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// Reads the clipboard's bitmap through a second program, as the user's other programs would.
bool ReadClipboardElsewhere(ClipboardImage* image) {
    const std::string file = ProgramFolder() + "\\clipboard_probe.out";
    DeleteFileA(file.c_str());
    std::string command = "\"" + ProgramFolder() + "\\clipboard_probe.exe\" \"" + file + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    const DWORD waited = WaitForSingleObject(process.hProcess, 10000);
    DWORD code = 1;
    if (waited != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    FILE* in = code == 0 ? std::fopen(file.c_str(), "rb") : nullptr;
    if (in == nullptr) {
        return false;
    }
    int32_t size[2] = {};
    bool read = std::fread(size, sizeof(size), 1, in) == 1 && size[0] > 0 && size[1] > 0;
    if (read) {
        image->width = size[0];
        image->height = size[1];
        image->pixels.resize(static_cast<size_t>(size[0]) * size[1]);
        read =
            std::fread(image->pixels.data(), 4, image->pixels.size(), in) == image->pixels.size();
    }
    std::fclose(in);
    DeleteFileA(file.c_str());
    return read;
}

void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

HWND FindLensWindow() {
    return FindWindowA("VX Overlay Window", nullptr);
}

// Waits (bounded) until the lens window exists at `expected`.
bool WaitForLensAt(const RECT& expected) {
    for (int i = 0; i < 300; ++i) {
        RECT actual;
        HWND lens = FindLensWindow();
        if (lens != nullptr && GetWindowRect(lens, &actual) && EqualRect(&actual, &expected)) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

bool WaitForCaptureServed(const SettingsRecord& record) {
    for (int i = 0; i < 300; ++i) {
        if (LoadShared(record.engine.captureRequest) == 0) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

class LensOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine.Loaded());
        ClearNotifications();
        EmptyTheClipboard();
        ASSERT_TRUE(pattern.WaitUntilShown());
        record.engine.frameWait = 10;
    }
    void TearDown() override {
        if (thread != nullptr) {
            engine.close(thread);
        }
        EmptyTheClipboard();
    }
    // Starts the lens and, as the main program does when the lens is up, raises the brightness
    // to neutral (every start sets it to 0).
    void Start() {
        thread = engine.create(&record.engine, TestCallback);
        ASSERT_NE(nullptr, thread);
        ASSERT_TRUE(WaitForNotification(kNotifyLensUp, 10000));
        engine.brightness(1, 1000 - engine.brightness(0, 0));
    }
    PublishedOwner owner;
    EngineLibrary engine;
    SettingsRecord record = DefaultRecord();
    std::vector<uint32_t> pixels = DetailPattern(160, 120, 5);
    PatternWindow pattern{300, 300, 160, 120, pixels};
    HANDLE thread = nullptr;
};

// The lens of a 256 x 128 lens around the point (x, y) + 1.
RECT LensAround(int x, int y) {
    return RECT{x + 1 - 128, y + 1 - 64, x + 1 + 128, y + 1 + 64};
}

TEST_F(LensOnScreen, OneWindowLensFollowsThePointerAndItsCopyReachesOtherPrograms) {
    record.engine.displayMode = 2;
    SetCursorPos(380, 360);
    Start();
    ASSERT_TRUE(WaitForLensAt(LensAround(380, 360))) << "the lens sits around the pointer";
    EXPECT_EQ(0x080800A8, GetWindowLongA(FindLensWindow(), GWL_EXSTYLE));
    EXPECT_TRUE(GetWindowLongA(FindLensWindow(), GWL_STYLE) & WS_POPUP);

    SetCursorPos(420, 380);
    ASSERT_TRUE(WaitForLensAt(LensAround(420, 380))) << "the lens follows the pointer";

    // Wine's SetCursorPos can report the old place to other threads for about 100 ms more, and
    // the lens follows whatever it reads: the copy is asked for once the pointer has settled.
    Sleep(300);
    ASSERT_TRUE(WaitForLensAt(LensAround(420, 380)));
    StoreShared(record.engine.captureRequest, 1);
    ASSERT_TRUE(WaitForCaptureServed(record));
    ClipboardImage copy;
    ASSERT_TRUE(ReadClipboardElsewhere(&copy));
    ASSERT_EQ(256, copy.width);
    ASSERT_EQ(128, copy.height);
    // The source is 128 x 64 around (421, 381); only the picture's window is shown (the lens
    // covers it on the screen by now), the rest is see-through (black in a bitmap).
    const int sx = 421 - 64;
    const int sy = 381 - 32;
    int mismatches = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 256; ++x) {
            const int screenX = sx + x / 2;
            const int screenY = sy + y / 2;
            const bool inWindow = screenX < 460 && screenY < 420;
            const uint32_t expected =
                inWindow ? pixels[static_cast<size_t>(screenY - 300) * 160 + screenX - 300] : 0u;
            if (copy.pixels[static_cast<size_t>(y) * 256 + x] != expected && ++mismatches < 5) {
                ADD_FAILURE() << "copy pixel (" << x << ", " << y << ")";
            }
        }
    }
    EXPECT_EQ(0, mismatches);

    const double start = NowMs();
    EXPECT_EQ(1, engine.close(thread));
    thread = nullptr;
    EXPECT_GE(NowMs() - start, 1270.0) << "the lens fades out before it goes";
    EXPECT_EQ(nullptr, FindLensWindow());
    EXPECT_TRUE(WaitForNotification(kNotifyEnded, 5000));
}

TEST_F(LensOnScreen, ShowAllUsesTheLensWindowAndCopiesTheImageItShows) {
    record.engine.displayMode = 1;
    record.engine.frameWait = 1500; // each image stays on the screen for 1.5 s
    SetCursorPos(380, 360);
    Start();
    ASSERT_TRUE(WaitForLensAt(LensAround(380, 360)))
        << "no overlay is advertised: the lens window is used";
    Sleep(300); // the frame that shows the brightness raised at lens-up has come
    StoreShared(record.engine.captureRequest, 1);
    ASSERT_TRUE(WaitForCaptureServed(record));
    Sleep(100); // the frame that served the copy is presented right after it
    const RECT lens = LensAround(380, 360);
    const auto shown = ReadScreen(lens.left, lens.top, 256, 128);
    ClipboardImage copy;
    ASSERT_TRUE(ReadClipboardElsewhere(&copy));
    ASSERT_EQ(256, copy.width);
    ASSERT_EQ(128, copy.height);
    int mismatches = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (copy.pixels[i] != shown[i] && ++mismatches < 5) {
            ADD_FAILURE() << "copy pixel (" << i % 256 << ", " << i / 256 << ")";
        }
    }
    // Wine puts the lens window into every screen copy, so from its second frame on the lens
    // shows itself; what is checked here is that the copy is the image the lens shows.
    EXPECT_EQ(0, mismatches) << "the copy is the lens image on the screen";
}

} // namespace
