// The pointer hider through its seam: the calls that change every program's pointers are
// recorded instead of made (Wine does not implement them), and the pointer must come back after
// every order of calls, on unload, and after a process that hid it was killed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "appdata_folder.h"
#include "pointer_hiding.h"
#include "qxhidecursor.h"
#include "scoped_handles.h"
#include "test_support.h"

namespace {

std::vector<std::string> g_calls;
BOOL g_reloadWorks = TRUE;

// Whether drawing the cursor over white and over black leaves both untouched.
bool DrawsNothing(HCURSOR cursor) {
    for (COLORREF background : {RGB(255, 255, 255), RGB(0, 0, 0)}) {
        UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = 64;
        info.bmiHeader.biHeight = -64;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        UniqueGdiObject bitmap(
            CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        SelectedObject selected(dc.Get(), bitmap.Get());
        RECT all = {0, 0, 64, 64};
        UniqueGdiObject brush(CreateSolidBrush(background));
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(brush.Get()));
        DrawIconEx(dc.Get(), 0, 0, cursor, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
        GdiFlush();
        const uint32_t expected = background == 0 ? 0u : 0xFFFFFFu;
        const uint32_t* pixels = static_cast<const uint32_t*>(bits);
        for (int i = 0; i < 64 * 64; ++i) {
            if ((pixels[i] & 0xFFFFFFu) != expected) {
                return false;
            }
        }
    }
    return true;
}

BOOL WINAPI RecordSetSystemCursor(HCURSOR cursor, DWORD id) {
    g_calls.push_back((DrawsNothing(cursor) ? "hide " : "put back ") + std::to_string(id));
    DestroyCursor(cursor); // the system would have taken it over
    return TRUE;
}

BOOL WINAPI RecordSystemParametersInfo(UINT action, UINT, PVOID data, UINT flags) {
    g_calls.push_back(action == SPI_SETCURSORS && data == nullptr && flags == 0
                          ? "reload the user's pointers"
                          : "another setting");
    return g_reloadWorks;
}

const PointerCalls kRecording = {RecordSetSystemCursor, RecordSystemParametersInfo};

std::string MarkerPath() {
    char folder[kPathCapacity];
    EXPECT_EQ(1, ComposeAppDataFolder(folder, nullptr));
    return std::string(folder) + "\\" QX_HIDECURSOR_MARKER_NAME;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The recorded calls, each pointer's hiding counted as one.
std::vector<std::string> Summary() {
    std::vector<std::string> summary;
    int hidden = 0;
    int putBack = 0;
    for (const std::string& call : g_calls) {
        if (call.compare(0, 5, "hide ") == 0) {
            ++hidden;
        } else if (call.compare(0, 9, "put back ") == 0) {
            ++putBack;
        } else {
            summary.push_back(call);
        }
        if (hidden == kStandardPointerCount) {
            summary.push_back("every pointer hidden");
            hidden = 0;
        }
        if (putBack == kStandardPointerCount) {
            summary.push_back("every saved pointer put back");
            putBack = 0;
        }
    }
    return summary;
}

class PointerHider : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        g_reloadWorks = TRUE;
        DeleteFileA(marker.c_str());
        SetUpPointerHiding(&hiding, kRecording, marker.c_str());
    }
    void TearDown() override { DeleteFileA(marker.c_str()); }
    std::string marker = MarkerPath();
    PointerHiding hiding;
};

TEST_F(PointerHider, EveryOrderOfCallsEndsWithThePointerBack) {
    const std::string reload = "reload the user's pointers";
    const std::string hidden = "every pointer hidden";
    // 0 and 1 are qxShowCursor's argument, 'u' the library's unload.
    const struct {
        const char* what;
        const char* steps;
        BOOL reloadWorks;
        std::vector<std::string> calls;
    } cases[] = {
        {"hide then show", "01", TRUE, {hidden, reload}},
        {"a double hide needs one show", "001", TRUE, {hidden, reload}},
        {"a show with nothing hidden changes nothing", "11", TRUE, {}},
        {"show, hide, then unloaded", "10u", TRUE, {hidden, reload}},
        {"hidden when unloaded", "0u", TRUE, {hidden, reload}},
        {"hide and show twice", "0101", TRUE, {hidden, reload, hidden, reload}},
        {"the system cannot reload the user's pointers",
         "01",
         FALSE,
         {hidden, reload, "every saved pointer put back"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        g_reloadWorks = c.reloadWorks;
        bool hiddenNow = false;
        for (const char* step = c.steps; *step != '\0'; ++step) {
            if (*step == 'u') {
                RestoreOnUnload(&hiding);
                hiddenNow = false;
            } else {
                EXPECT_EQ(1, ShowSystemPointer(&hiding, *step - '0'));
                hiddenNow = *step == '0';
            }
            EXPECT_EQ(hiddenNow, Exists(marker)) << "the marker stands while hidden";
        }
        EXPECT_EQ(c.calls, Summary());
    }
}

TEST_F(PointerHider, TheBlankPointerTakesThePlaceOfEveryStandardOne) {
    ShowSystemPointer(&hiding, 0);
    for (LPCSTR id : {IDC_ARROW, IDC_IBEAM, IDC_WAIT, IDC_HAND}) {
        const std::string call = "hide " + std::to_string(reinterpret_cast<uintptr_t>(id));
        EXPECT_NE(g_calls.end(), std::find(g_calls.begin(), g_calls.end(), call)) << call;
    }
    ShowSystemPointer(&hiding, 1);
}

// The helper that hides the pointer through the real library and waits to be killed.
PROCESS_INFORMATION StartHidingProcess() {
    std::string command = "\"" + ProgramFolder() + "\\pointer_hider_child.exe\" " +
                          std::to_string(GetCurrentProcessId());
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                   &process);
    CloseHandle(process.hThread);
    return process;
}

TEST_F(PointerHider, AKilledProcessLeavesThePointerToBeRestoredAtTheNextStart) {
    const PROCESS_INFORMATION child = StartHidingProcess();
    ASSERT_NE(nullptr, child.hProcess);
    UniqueHandle process(child.hProcess);
    const bool marked = WaitUntil([this] { return Exists(marker); });
    if (!marked) {
        TerminateProcess(process.Get(), 9);
    }
    ASSERT_TRUE(marked) << "the real library marks the pointer hidden";

    // While the process that hid the pointer runs, a start elsewhere leaves it alone.
    PointerHiding meanwhile;
    SetUpPointerHiding(&meanwhile, kRecording, marker.c_str());
    EXPECT_EQ(1, ShowSystemPointer(&meanwhile, 1));
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(Exists(marker));

    TerminateProcess(process.Get(), 9);
    ASSERT_TRUE(WaitForEnd(process.Get()));
    PointerHiding next;
    SetUpPointerHiding(&next, kRecording, marker.c_str());
    EXPECT_EQ(1, ShowSystemPointer(&next, 1));
    EXPECT_EQ((std::vector<std::string>{"reload the user's pointers"}), Summary());
    EXPECT_FALSE(Exists(marker));
    // On Windows the killed helper really hid the pointers: give them back.
    SystemParametersInfoA(SPI_SETCURSORS, 0, nullptr, 0);
}

TEST_F(PointerHider, AMarkerThatIsNotOneStillBringsThePointerBack) {
    for (const char* text : {"", "pointer hidden by process 12", "garbage\r\n"}) {
        SCOPED_TRACE(text);
        g_calls.clear();
        UniqueFile file(CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        WriteFile(file.Get(), text, static_cast<DWORD>(strlen(text)), &written, nullptr);
        file.Reset();
        PointerHiding next;
        SetUpPointerHiding(&next, kRecording, marker.c_str());
        EXPECT_EQ(1, ShowSystemPointer(&next, 0));
        EXPECT_EQ((std::vector<std::string>{"reload the user's pointers", "every pointer hidden"}),
                  Summary());
        ShowSystemPointer(&next, 1);
    }
}

TEST(PointerHiderLibrary, HidesAndShowsThroughItsPlainExport) {
    const std::string marker = MarkerPath();
    DeleteFileA(marker.c_str());
    UniqueModule library(LoadLibraryA((ProgramFolder() + "\\" QX_HIDECURSOR_LIBRARY).c_str()));
    auto show = BindProc<QxShowCursorFn>(library.Get(), "qxShowCursor");
    ASSERT_NE(nullptr, show);
    EXPECT_EQ(1, show(0));
    EXPECT_TRUE(Exists(marker));
    EXPECT_EQ(1, show(1)) << "the pointers came back, by one way or the other";
    EXPECT_FALSE(Exists(marker));
    EXPECT_EQ(1, show(0));
    library.Reset();
    EXPECT_FALSE(Exists(marker)) << "given back on unload";
}

} // namespace
