// The full-screen and docked views through the real program and engine: switched by the view key
// and the tray menu and remembered; the exact magnification of a known pattern on a view's first
// frame (Wine puts the view's own window into every later screen copy); the docked strip reserved
// through the shell and given back when the view changes, at Exit and at the start after a crash;
// and the program over bad options files. Wine's shell records app bars but leaves the work area
// alone, so the work area is shown through the engine's shell seam, with a shell that keeps it as
// Windows documents, and through the recovery's marker in this process.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dock_recovery.h"
#include "engine_seams.h"
#include "docked_strip.h"
#include "scoped_handles.h"
#include "screen_pattern.h"
#include "test_support.h"
#include "vexlume_process.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;
constexpr RECT kScreen = {0, 0, kWidth, kHeight};
constexpr RECT kTopStrip = {0, 0, kWidth, 256};
constexpr unsigned kToggle = 8002;
constexpr unsigned kExit = 2;
constexpr unsigned kNextView = 9100;
constexpr unsigned kDockedItem = 9103;

void WriteBytes(const std::string& path, const std::string& bytes) {
    UniqueFile file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                  &written, nullptr));
}

std::string ReadBytes(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr));
    std::string bytes(2 << 20, '\0');
    DWORD read = 0;
    if (!file ||
        !ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return "(unreadable)";
    }
    bytes.resize(read);
    return bytes;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A fresh start over `options` as the options file, with a frame every `frameWait` ms.
std::unique_ptr<VexlumeProcess> StartOver(const ProgramCopy& copy, const char* options,
                                          uint32_t frameWait = 20) {
    ResetProgramState();
    SettingsRecord settings = FirstRunSettings();
    settings.engine.frameWait = frameWait;
    WriteSettingsFile(settings);
    if (options != nullptr) {
        WriteBytes(AppDataFile("options.ini"), options);
    }
    auto program = std::make_unique<VexlumeProcess>(copy.Program());
    EXPECT_NE(nullptr, program->WaitForMainWindow());
    return program;
}

// Waits until the view window of `program` lies at `expected`, that is until a frame showed it
// there.
bool WaitForViewAt(const VexlumeProcess& program, const RECT& expected) {
    return WaitUntil(
        [&] {
            HandleWaitingMessages();
            HWND window = nullptr;
            while ((window = FindWindowExA(nullptr, window, "VX Overlay Window", nullptr))) {
                DWORD id = 0;
                RECT r;
                GetWindowThreadProcessId(window, &id);
                if (id == program.Id() && GetWindowRect(window, &r) && EqualRect(&r, &expected)) {
                    return true;
                }
            }
            return false;
        },
        15000);
}

RECT LensAt(POINT p) {
    return RECT{p.x + 1 - 128, p.y + 1 - 64, p.x + 1 + 128, p.y + 1 + 64};
}

// Ctrl+Alt+M, the view key of a first start, through the system's input.
void PressViewKey() {
    INPUT keys[6] = {};
    const WORD order[3] = {VK_CONTROL, VK_MENU, 'M'};
    for (int i = 0; i < 3; ++i) {
        keys[i].type = keys[5 - i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = keys[5 - i].ki.wVk = order[i];
        keys[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(6, keys, sizeof(INPUT));
}

// Where the shell lets another app bar lie along the top edge: the top of the rectangle it
// grants to a bar that asks for the screen's top 100 rows.
LONG TopEdgeForAnotherBar() {
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    APPBARDATA data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uCallbackMessage = WM_APP + 9;
    SystemAppBarMessage(ABM_NEW, &data);
    data.uEdge = ABE_TOP;
    data.rc = RECT{0, 0, kWidth, 100};
    SystemAppBarMessage(ABM_QUERYPOS, &data);
    const LONG top = data.rc.top;
    SystemAppBarMessage(ABM_REMOVE, &data);
    DestroyWindow(window);
    return top;
}

// What a view at zoom 2 shows of `screen` (kWidth wide): `width` x `height` pixels, each source
// pixel from `origin` on two by two.
std::vector<uint32_t> TwiceAsLarge(const std::vector<uint32_t>& screen, POINT origin, int width,
                                   int height) {
    std::vector<uint32_t> shown(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            shown[static_cast<size_t>(y) * width + x] =
                screen[static_cast<size_t>(origin.y + y / 2) * kWidth + origin.x + x / 2];
        }
    }
    return shown;
}

// Waits until the screen's `area` shows `expected` (rows top first): a window that a frame moved
// reaches the screen a moment before its new picture does.
bool ScreenShows(const RECT& area, const std::vector<uint32_t>& expected) {
    return WaitUntil(
        [&] {
            HandleWaitingMessages();
            return ReadScreen(area.left, area.top, area.right - area.left,
                              area.bottom - area.top) == expected;
        },
        15000);
}

TEST(Views, TheViewKeyAndTheMenuSwitchTheViewsAndTheChoiceIsKept) {
    ProgramCopy copy(EngineBeside::Real);
    const POINT pointer = {600, 500};
    SetCursorPos(pointer.x, pointer.y);
    auto program = StartOver(copy, nullptr);
    ASSERT_TRUE(program->RunCommand(kToggle));
    ASSERT_TRUE(WaitForViewAt(*program, LensAt(pointer)));
    const RECT byKey[] = {kScreen, kTopStrip, LensAt(pointer)};
    for (const RECT& view : byKey) {
        PressViewKey();
        EXPECT_TRUE(WaitForViewAt(*program, view)) << view.bottom;
    }
    EXPECT_NE(std::string::npos, ReadBytes(AppDataFile("options.ini")).find("view=lens"));

    program->Post(15000, 333, WM_RBUTTONUP);
    HWND menu = WaitForPopupMenu();
    ASSERT_NE(nullptr, menu);
    std::vector<MenuItemSeen> items = ReadOpenMenu(menu);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    std::vector<std::wstring> checked;
    for (const MenuItemSeen& item : items) {
        if (item.depth == 1 && (item.state & MF_CHECKED)) {
            checked.push_back(item.text);
        }
    }
    EXPECT_EQ((std::vector<std::wstring>{L"Lens", L"Proportional"}), checked);
    ASSERT_TRUE(program->Answers());
    ASSERT_TRUE(program->RunCommand(kDockedItem));
    EXPECT_TRUE(WaitForViewAt(*program, kTopStrip));
    ASSERT_TRUE(program->RunCommand(kDockedItem - 1));
    EXPECT_TRUE(WaitForViewAt(*program, kScreen));

    program->PostCommand(kExit);
    ASSERT_TRUE(program->WaitForExit(15000));
    program = std::make_unique<VexlumeProcess>(copy.Program());
    ASSERT_NE(nullptr, program->WaitForMainWindow());
    ASSERT_TRUE(program->RunCommand(kToggle));
    EXPECT_TRUE(WaitForViewAt(*program, kScreen)) << "the full-screen view, as it was left";
    program->PostCommand(kExit);
}

struct Tracking {
    const char* name;
    POINT pointer, source;      // the first frame
    POINT movedTo, movedSource; // the next frame, after a move within the push margin
};

// The docked strip never lies in its own source, so the program starts docked, and the first
// full-screen frame magnifies the screen below the strip; the next frame magnifies that frame's
// image.
TEST(Views, FullScreenMagnifiesExactlyOnItsFirstFrameAndFollowsByItsTracking) {
    const std::vector<uint32_t> pattern = DetailPattern(kWidth, kHeight, 20);
    PatternWindow shown(0, 0, kWidth, kHeight, pattern);
    ASSERT_TRUE(shown.WaitUntilShown());
    ProgramCopy copy(EngineBeside::Real);
    const Tracking cases[] = {
        {"centred", {700, 700}, {380, 444}, {740, 730}, {420, 474}},
        {"proportional", {700, 700}, {350, 350}, {740, 730}, {370, 365}},
        {"push", {700, 700}, {380, 444}, {740, 730}, {380, 444}},
    };
    for (const Tracking& c : cases) {
        // Docked first, until a frame after the lens came up has followed a move of the pointer.
        SetCursorPos(c.pointer.x, c.pointer.y - 20);
        const std::string options =
            std::string("view=docked\nfullscreen_tracking=") + c.name + "\n";
        auto program = StartOver(copy, options.c_str(), 4000);
        ASSERT_TRUE(program->RunCommand(kToggle));
        ASSERT_TRUE(
            ScreenShows(kTopStrip, TwiceAsLarge(pattern, {380, c.pointer.y - 84}, kWidth, 256)))
            << c.name;
        SetCursorPos(c.pointer.x, c.pointer.y);
        ASSERT_TRUE(
            ScreenShows(kTopStrip, TwiceAsLarge(pattern, {380, c.pointer.y - 64}, kWidth, 256)))
            << c.name;

        ASSERT_TRUE(program->RunCommand(kDockedItem - 1));
        const std::vector<uint32_t> first = TwiceAsLarge(pattern, c.source, kWidth, kHeight);
        EXPECT_TRUE(ScreenShows(kScreen, first)) << c.name;
        // The next frame copies the screen as the first one left it.
        SetCursorPos(c.movedTo.x, c.movedTo.y);
        EXPECT_TRUE(ScreenShows(kScreen, TwiceAsLarge(first, c.movedSource, kWidth, kHeight)))
            << c.name << " after the move";
        program->PostCommand(kExit);
        ASSERT_TRUE(program->WaitForExit(15000));
    }
}

TEST(Views, TheDockedStripMagnifiesBesideItAndIsReservedOnlyWhileShown) {
    const std::vector<uint32_t> pattern = DetailPattern(kWidth, kHeight, 21);
    PatternWindow shown(0, 0, kWidth, kHeight, pattern);
    ASSERT_TRUE(shown.WaitUntilShown());
    ProgramCopy copy(EngineBeside::Real);
    const std::string marker = AppDataFile("docked-view.marker");
    SetCursorPos(700, 600);
    auto program = StartOver(copy, "view=docked\n", 4000);
    ASSERT_EQ(0, TopEdgeForAnotherBar());
    ASSERT_TRUE(program->RunCommand(kToggle));
    ASSERT_TRUE(WaitForViewAt(*program, kTopStrip));
    EXPECT_TRUE(ScreenShows(kTopStrip, TwiceAsLarge(pattern, {380, 536}, kWidth, 256)));
    EXPECT_EQ(256, TopEdgeForAnotherBar()) << "the strip is reserved";
    EXPECT_TRUE(Exists(marker));

    ASSERT_TRUE(program->RunCommand(kNextView));
    ASSERT_TRUE(WaitForViewAt(*program, LensAt({700, 600})));
    EXPECT_EQ(0, TopEdgeForAnotherBar()) << "given back by the lens";
    EXPECT_FALSE(Exists(marker));
    ASSERT_TRUE(program->RunCommand(kDockedItem));
    ASSERT_TRUE(WaitForViewAt(*program, kTopStrip));
    program->PostCommand(kExit);
    DWORD code = 1;
    ASSERT_TRUE(program->WaitForExit(15000, &code));
    EXPECT_EQ(0u, code);
    EXPECT_EQ(0, TopEdgeForAnotherBar()) << "given back at Exit";

    // Ended from outside while docked: the next start gives the strip back.
    program = std::make_unique<VexlumeProcess>(copy.Program());
    ASSERT_NE(nullptr, program->WaitForMainWindow());
    ASSERT_TRUE(program->RunCommand(kToggle));
    ASSERT_TRUE(WaitForViewAt(*program, kTopStrip));
    TerminateProcess(program->Handle(), 9);
    ASSERT_TRUE(program->WaitForExit(15000));
    EXPECT_EQ(256, TopEdgeForAnotherBar()) << "the shell keeps the bar of the ended program";
    program = std::make_unique<VexlumeProcess>(copy.Program());
    ASSERT_NE(nullptr, program->WaitForMainWindow());
    EXPECT_EQ(0, TopEdgeForAnotherBar()) << "given back at the next start";
    EXPECT_FALSE(Exists(marker));
    program->PostCommand(kExit);
}

// The shell as Windows documents it: the work area leaves out the strips it reserved. Wine's
// shell records the bars and answers as Windows does, but never changes the work area.
UINT_PTR WINAPI ShellKeepingTheWorkArea(DWORD message, APPBARDATA* data) {
    const UINT_PTR result = SystemAppBarMessage(message, data);
    RECT area = kScreen;
    if (message == ABM_SETPOS) {
        area.top = data->rc.bottom;
    }
    if (message == ABM_SETPOS || message == ABM_REMOVE) {
        SystemParametersInfoA(SPI_SETWORKAREA, 0, &area, 0);
    }
    return result;
}

bool WorkAreaIs(const RECT& expected) {
    return WaitUntil(
        [&] {
            RECT area;
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
            return EqualRect(&area, &expected) != FALSE;
        },
        10000);
}

TEST(DockedWorkArea, ShrinksByTheStripWhileDockedAndIsWholeAfterTheLensAndAfterTheClose) {
    PublishedOwner owner;
    const SeamSwap<decltype(EngineSeams::appBarMessage)> shell(Seams().appBarMessage,
                                                               ShellKeepingTheWorkArea);
    const RECT beside = {0, 256, kWidth, kHeight};
    SettingsRecord record = DefaultRecord();
    record.engine.frameWait = 10;
    EngineOptions options = kDefaultEngineOptions;
    options.view = kViewDocked;
    qxSetOptionsMagnifier(&options);
    HANDLE thread = qxCreateMagnifier(&record.engine, TestCallback);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(WorkAreaIs(beside));
    StoreShared(options.view, static_cast<uint32_t>(kViewLens));
    EXPECT_TRUE(WorkAreaIs(kScreen)) << "the lens gives the strip back";
    StoreShared(options.view, static_cast<uint32_t>(kViewDocked));
    EXPECT_TRUE(WorkAreaIs(beside));
    qxCloseMagnifier(thread);
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_TRUE(EqualRect(&area, &kScreen)) << "the close gives the strip back";
    qxSetOptionsMagnifier(nullptr);
}

TEST(DockRecovery, TheNextStartRestoresAWorkAreaThatStillLacksACrashedStrip) {
    const std::string marker = AppDataFile("docked-view.marker");
    const std::string record = "Vexlume docked view\r\nwindow=1\r\nedge=0\r\nstrip=0 0 1280 256\r\n"
                               "work_area=0 0 1280 1024\r\n";
    const struct {
        const char* what;
        std::string marker;
        RECT before, after;
    } cases[] = {
        {"still short of the strip", record, {0, 256, kWidth, kHeight}, kScreen},
        {"changed since", record, {0, 0, kWidth, 1000}, {0, 0, kWidth, 1000}},
        {"a marker not ours", "window=1\r\n", {0, 256, kWidth, kHeight}, {0, 256, kWidth, kHeight}},
    };
    for (const auto& c : cases) {
        WriteBytes(marker, c.marker);
        RECT area = c.before;
        SystemParametersInfoA(SPI_SETWORKAREA, 0, &area, 0);
        RecoverDockedStripWith(marker.c_str());
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        EXPECT_TRUE(EqualRect(&area, &c.after)) << c.what;
        EXPECT_FALSE(Exists(marker)) << c.what;
    }
    RECT whole = kScreen;
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &whole, 0);
}

// Options files a person, a crash or another program may leave: the program runs on the defaults
// (the lens) and leaves the file as it is, until an option changes, which it then adds to a file
// it could read and leaves out of one it could not.
TEST(OptionsFile, TheProgramRunsOnDefaultsOverBadFilesAndKeepsThemUntilAnOptionChanges) {
    std::string random(4096, '\0');
    uint32_t seed = 99;
    for (char& c : random) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 24);
    }
    std::string large;
    while (large.size() < (1u << 20)) {
        large += "colour.of.the.day = blue\r\n";
    }
    enum Kind { kFile, kFolder, kReadOnly, kHeldOpen };
    const struct {
        const char* what;
        Kind kind;
        std::string content;
        bool changes;
    } cases[] = {
        {"empty", kFile, "", true},
        {"random bytes", kFile, random, true},
        {"1 MB of unknown keys", kFile, large, true},
        {"a folder", kFolder, "", false},
        {"read-only", kReadOnly, "colour=red\n", false},
        {"held open", kHeldOpen, "colour=red\n", false},
    };
    ProgramCopy copy(EngineBeside::Real);
    const std::string path = AppDataFile("options.ini");
    const POINT pointer = {600, 500};
    SetCursorPos(pointer.x, pointer.y);
    for (const auto& c : cases) {
        ResetProgramState();
        RemoveDirectoryA(path.c_str());
        if (c.kind == kFolder) {
            ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
        } else {
            WriteBytes(path, c.content);
        }
        if (c.kind == kReadOnly) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        }
        UniqueFile holder(c.kind == kHeldOpen ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr,
                                                            OPEN_EXISTING, 0, nullptr)
                                              : INVALID_HANDLE_VALUE);
        VexlumeProcess program(copy.Program());
        ASSERT_NE(nullptr, program.WaitForMainWindow()) << c.what;
        ASSERT_TRUE(program.RunCommand(kToggle));
        EXPECT_TRUE(WaitForViewAt(program, LensAt(pointer))) << c.what << ": the lens by default";
        ASSERT_TRUE(program.RunCommand(kToggle));
        ASSERT_TRUE(program.RunCommand(kNextView));
        holder.Reset();
        const std::string after = c.kind == kFolder ? "(folder)" : ReadBytes(path);
        if (c.changes) {
            EXPECT_EQ(0u, after.compare(0, c.content.size(), c.content)) << c.what;
            EXPECT_NE(std::string::npos, after.find("view=fullscreen", c.content.size())) << c.what;
        } else if (c.kind != kFolder) {
            EXPECT_TRUE(after == c.content) << c.what << ": the file changed";
        }
        EXPECT_EQ(c.kind == kFolder,
                  (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0);
        program.PostCommand(kExit);
        DWORD code = 1;
        EXPECT_TRUE(program.WaitForExit(15000, &code));
        EXPECT_EQ(0u, code) << c.what;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    RemoveDirectoryA(path.c_str());
    ResetProgramState();
}

} // namespace
