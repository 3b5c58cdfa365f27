// The views through the real program and engine, and the program over bad options files. Wine puts
// a view's window into every later screen copy, so a view's first frame is checked; its shell
// leaves the work area alone, which is therefore seen through the engine's shell seam.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "dock_recovery.h"
#include "docked_strip.h"
#include "engine_seams.h"
#include "scoped_handles.h"
#include "screen_pattern.h"
#include "test_support.h"
#include "vexlume_process.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;
constexpr RECT kScreen = {0, 0, kWidth, kHeight};
constexpr RECT kTopStrip = {0, 0, kWidth, 256};
enum : unsigned { kExit = 2, kToggle = 8002, kNextView = 9100, kFullScreen = 9102, kDocked };

void WriteBytes(const std::string& path, const std::string& bytes) {
    UniqueFile file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// A fresh start over `options` as the options file, with a frame every `frameWait` ms and no
// level shown over the views' pictures.
std::unique_ptr<VexlumeProcess> StartOver(const ProgramCopy& copy, const char* options,
                                          uint32_t frameWait) {
    ResetProgramState();
    SettingsRecord settings = FirstRunSettings();
    settings.engine.frameWait = frameWait;
    WriteSettingsFile(settings);
    WriteBytes(AppDataFile("options.ini"), std::string("show_level=off\n") + options);
    auto program = std::make_unique<VexlumeProcess>(copy.Program());
    EXPECT_NE(nullptr, program->WaitForMainWindow());
    return program;
}

// Waits until the view window lies at `expected`, that is until a frame put it there.
bool WaitForViewAt(const RECT& expected) {
    return WaitUntil([&] {
        RECT r;
        HWND view = FindWindowA("VX Overlay Window", nullptr);
        return view != nullptr && GetWindowRect(view, &r) && EqualRect(&r, &expected);
    });
}

RECT LensAt(POINT p) {
    return RECT{p.x - 127, p.y - 63, p.x + 129, p.y + 65};
}

// Waits until the screen's `area` shows `expected` (rows top first): a window that a frame moved
// reaches the screen a moment before its new picture does.
bool ScreenShows(const RECT& area, const std::vector<uint32_t>& expected) {
    return WaitUntil([&] {
        HandleWaitingMessages(); // the pattern window paints itself
        return ReadScreen(area.left, area.top, area.right - area.left, area.bottom - area.top) ==
               expected;
    });
}

// What a view at zoom 2 shows of `screen` (kWidth wide): `height` rows of kWidth pixels, each
// source pixel from `origin` on two by two.
std::vector<uint32_t> TwiceAsLarge(const std::vector<uint32_t>& screen, POINT origin, int height) {
    std::vector<uint32_t> shown(static_cast<size_t>(kWidth) * height);
    for (size_t i = 0; i < shown.size(); ++i) {
        shown[i] = screen[(origin.y + i / kWidth / 2) * kWidth + origin.x + i % kWidth / 2];
    }
    return shown;
}

// Ctrl+Alt+M, the view key of a first start, through the system's input.
void PressViewKey() {
    const BYTE keys[] = {VK_CONTROL, VK_MENU, 'M', 'M', VK_MENU, VK_CONTROL};
    for (int i = 0; i < 6; ++i) {
        keybd_event(keys[i], 0, i < 3 ? 0 : KEYEVENTF_KEYUP, 0);
    }
}

// The top of the place the shell grants another app bar that asks for the screen's top 100 rows.
LONG TopForAnotherBar() {
    HWND window =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    APPBARDATA data = {sizeof(data), window, WM_APP, ABE_TOP, {0, 0, kWidth, 100}, 0};
    SystemAppBarMessage(ABM_NEW, &data);
    SystemAppBarMessage(ABM_QUERYPOS, &data);
    SystemAppBarMessage(ABM_REMOVE, &data);
    DestroyWindow(window);
    return data.rc.top;
}

// The docked strip never lies in its own source, so the program starts docked, until a frame
// after the lens came up has followed a move of the pointer; the first full-screen frame then
// magnifies the screen below the strip, and the next one the image of the first. A frame every
// 10 s leaves time to read the screen between two frames on a busy machine.
TEST(Views, FullScreenMagnifiesExactlyOnItsFirstFrameAndFollowsByItsTracking) {
    const std::vector<uint32_t> pattern = DetailPattern(kWidth, kHeight, 20);
    PatternWindow shown(0, 0, kWidth, kHeight, pattern);
    ASSERT_TRUE(shown.WaitUntilShown());
    ProgramCopy copy(EngineBeside::Real);
    const struct {
        const char* name;
        POINT source;      // of the first frame, for the pointer at (700, 700)
        POINT movedSource; // of the next, after a move within the push margin to (740, 730)
    } cases[] = {
        {"centred", {380, 444}, {420, 474}},
        {"proportional", {350, 350}, {370, 365}},
        {"push", {380, 444}, {380, 444}},
    };
    for (const auto& c : cases) {
        SetCursorPos(700, 680);
        auto program = StartOver(
            copy, (std::string("view=docked\nfullscreen_tracking=") + c.name).c_str(), 10000);
        ASSERT_TRUE(program->RunCommand(kToggle));
        ASSERT_TRUE(ScreenShows(kTopStrip, TwiceAsLarge(pattern, {380, 616}, 256))) << c.name;
        SetCursorPos(700, 700);
        ASSERT_TRUE(ScreenShows(kTopStrip, TwiceAsLarge(pattern, {380, 636}, 256))) << c.name;

        ASSERT_TRUE(program->RunCommand(kFullScreen));
        const std::vector<uint32_t> first = TwiceAsLarge(pattern, c.source, kHeight);
        EXPECT_TRUE(ScreenShows(kScreen, first)) << c.name;
        SetCursorPos(740, 730);
        EXPECT_TRUE(ScreenShows(kScreen, TwiceAsLarge(first, c.movedSource, kHeight))) << c.name;
        program->PostCommand(kExit);
        ASSERT_TRUE(program->WaitForExit());
    }
}

// The view key steps lens, full screen, docked; the menu shows and sets the view; the docked
// strip is reserved only while it is shown, and given back by the next start after a crash.
TEST(Views, TheKeyAndTheMenuSwitchTheViewsAndTheStripIsReservedOnlyWhileDocked) {
    const std::vector<uint32_t> pattern = DetailPattern(kWidth, kHeight, 21);
    PatternWindow shown(0, 0, kWidth, kHeight, pattern);
    ASSERT_TRUE(shown.WaitUntilShown());
    ProgramCopy copy(EngineBeside::Real);
    const std::string marker = AppDataFile("docked-view.marker");
    SetCursorPos(700, 600);
    auto program = StartOver(copy, "view=docked\n", 4000);
    ASSERT_EQ(0, TopForAnotherBar());
    ASSERT_TRUE(program->RunCommand(kToggle));
    EXPECT_TRUE(ScreenShows(kTopStrip, TwiceAsLarge(pattern, {380, 536}, 256)));
    EXPECT_EQ(256, TopForAnotherBar()) << "the strip is reserved";
    EXPECT_TRUE(GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES);
    for (const RECT& view : {LensAt({700, 600}), kScreen, kTopStrip}) {
        PressViewKey();
        EXPECT_TRUE(WaitForViewAt(view)) << view.bottom;
        if (view.bottom != 256) {
            EXPECT_EQ(0, TopForAnotherBar()) << "given back for the lens and full screen";
        }
    }
    program->Post(15000, 333, WM_RBUTTONUP); // the tray icon's click
    HWND menu = WaitForPopupMenu();
    ASSERT_NE(nullptr, menu);
    std::vector<std::wstring> checked;
    for (const MenuItemSeen& item : ReadOpenMenu(menu)) {
        if (item.depth == 1 && (item.state & MF_CHECKED)) {
            checked.push_back(item.text);
        }
    }
    EXPECT_EQ((std::vector<std::wstring>{L"Docked", L"Proportional"}), checked);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    for (const unsigned item : {kFullScreen, kDocked}) { // what the menu's items send
        ASSERT_TRUE(program->RunCommand(item));
        EXPECT_TRUE(WaitForViewAt(item == kDocked ? kTopStrip : kScreen));
    }
    program->PostCommand(kExit);
    ASSERT_TRUE(program->WaitForExit());
    EXPECT_EQ(0, TopForAnotherBar()) << "given back at Exit";

    // Docked again, as it was left, and ended from outside.
    program = std::make_unique<VexlumeProcess>(copy.Program());
    ASSERT_NE(nullptr, program->WaitForMainWindow());
    ASSERT_TRUE(program->RunCommand(kToggle));
    ASSERT_TRUE(WaitForViewAt(kTopStrip));
    TerminateProcess(program->Handle(), 9);
    ASSERT_TRUE(program->WaitForExit());
    EXPECT_EQ(256, TopForAnotherBar()) << "the shell keeps the ended program's bar";
    program = std::make_unique<VexlumeProcess>(copy.Program());
    ASSERT_NE(nullptr, program->WaitForMainWindow());
    EXPECT_EQ(0, TopForAnotherBar()) << "given back at the next start";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(marker.c_str()));
    program->PostCommand(kExit);
}

// The shell as Windows documents it: the work area leaves out the strips it reserved.
UINT_PTR WINAPI ShellKeepingTheWorkArea(DWORD message, APPBARDATA* data) {
    const UINT_PTR result = SystemAppBarMessage(message, data);
    RECT area = {0, message == ABM_SETPOS ? data->rc.bottom : 0, kWidth, kHeight};
    if (message == ABM_SETPOS || message == ABM_REMOVE) {
        SystemParametersInfoA(SPI_SETWORKAREA, 0, &area, 0);
    }
    return result;
}

bool WorkAreaIs(RECT expected) {
    return WaitUntil([&] {
        RECT area;
        return SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0) && EqualRect(&area, &expected);
    });
}

// Windows may also keep a crashed program's strip out of the work area; Wine keeps a work area set
// with SPI_SETWORKAREA to the process that set it, here this test, as for the recovery at start.
TEST(DockedWorkArea, LacksTheStripOnlyWhileDockedAndIsWholeAfterTheCloseAndAfterACrash) {
    PublishedOwner owner;
    const SeamSwap<decltype(EngineSeams::appBarMessage)> shell(Seams().appBarMessage,
                                                               ShellKeepingTheWorkArea);
    SettingsRecord record = DefaultRecord();
    record.engine.frameWait = 10;
    EngineOptions options = kDefaultEngineOptions;
    options.view = kViewDocked;
    qxSetOptionsMagnifier(&options);
    HANDLE thread = qxCreateMagnifier(&record.engine, TestCallback);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(WorkAreaIs({0, 256, kWidth, kHeight}));
    options.view = kViewLens;
    qxSetOptionsMagnifier(&options);
    EXPECT_TRUE(WorkAreaIs(kScreen)) << "the lens gives the strip back";
    options.view = kViewDocked;
    qxSetOptionsMagnifier(&options);
    EXPECT_TRUE(WorkAreaIs({0, 256, kWidth, kHeight}));
    qxCloseMagnifier(thread);
    qxSetOptionsMagnifier(nullptr);
    RECT area = {0, 256, kWidth, kHeight};
    EXPECT_TRUE(WorkAreaIs(kScreen)) << "the close gives the strip back";

    const std::string marker = AppDataFile("docked-view.marker");
    WriteBytes(marker, "Vexlume docked view\nwindow=1\nedge=0\nstrip=0 0 1280 256\n"
                       "work_area=0 0 1280 1024\n");
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &area, 0);
    RecoverDockedStripWith(marker.c_str());
    EXPECT_TRUE(WorkAreaIs(kScreen)) << "the start after a crash gives the strip back";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(marker.c_str()));
}

// Options files a person, a crash or another program may leave: the program runs on the defaults
// (the lens) and leaves the file as it is until an option changes, which it then adds to a file
// it could read and leaves out of one it could not.
TEST(OptionsFile, TheProgramRunsOnDefaultsOverBadFilesAndKeepsThemUntilAnOptionChanges) {
    std::string random(4096, '\0'), large;
    for (char& c : random) {
        c = static_cast<char>(std::rand());
    }
    while (large.size() < (1u << 20)) {
        large += "colour.of.the.day = blue\r\n";
    }
    enum Kind { kFile, kFolder, kReadOnly, kHeldOpen };
    const struct {
        Kind kind;
        std::string content;
    } cases[] = {{kFile, ""},
                 {kFile, random},
                 {kFile, large},
                 {kFolder, "(missing)"},
                 {kReadOnly, "colour=red\n"},
                 {kHeldOpen, "colour=red\n"}};
    ProgramCopy copy(EngineBeside::Real);
    const std::string path = AppDataFile("options.ini");
    SetCursorPos(600, 500);
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        ResetProgramState();
        if (c.kind == kFolder) {
            ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
        } else {
            WriteBytes(path, c.content);
            SetFileAttributesA(path.c_str(), c.kind == kReadOnly ? FILE_ATTRIBUTE_READONLY
                                                                 : FILE_ATTRIBUTE_NORMAL);
        }
        UniqueFile holder(c.kind == kHeldOpen ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr,
                                                            OPEN_EXISTING, 0, nullptr)
                                              : INVALID_HANDLE_VALUE);
        VexlumeProcess program(copy.Program());
        ASSERT_NE(nullptr, program.WaitForMainWindow());
        ASSERT_TRUE(program.RunCommand(kToggle));
        EXPECT_TRUE(WaitForViewAt(LensAt({600, 500})));
        ASSERT_TRUE(program.RunCommand(kNextView));
        holder.Reset();
        const std::string after = FileContent(path);
        if (c.kind == kFile) {
            EXPECT_EQ(0u, after.compare(0, c.content.size(), c.content));
            EXPECT_NE(std::string::npos, after.find("view=fullscreen", c.content.size()));
        } else {
            EXPECT_TRUE(after == c.content);
        }
        program.PostCommand(kExit);
        DWORD code = 1;
        EXPECT_TRUE(program.WaitForExit(&code));
        EXPECT_EQ(0u, code);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryA(path.c_str());
    }
}

} // namespace
