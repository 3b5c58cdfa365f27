// The settings dialog of the running program, driven with messages as a user drives it: the
// first-run setup, the sizes and their list, the sliders, a stored file shown and kept, start with
// Windows, Esc, and the help and donation pages.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "appdata_folder.h"
#include "hotkey_defaults.h"
#include "hotkey_rules.h"
#include "scoped_handles.h"
#include "test_support.h"
#include "vexlume_process.h"

namespace {

const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr int kOk = 1010, kCancel = 1011, kWait = 1007, kWidth = 1009, kHeight = 1013;
constexpr int kSizeList = 1037, kZoom = 1018, kZoomLabel = 1038, kTransparencyLabel = 1040;
constexpr int kStartWithWindows = 1032, kHotKeyFirst = 1021;

std::string SettingsPath() {
    char folder[kPathCapacity];
    ComposeAppDataFolder(folder, nullptr);
    return std::string(folder) + "\\settings.dat";
}

SettingsRecord SavedRecord() {
    SettingsRecord record = {};
    const std::string bytes = FileContent(SettingsPath());
    EXPECT_EQ(sizeof(record), bytes.size());
    std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof(record)));
    return record;
}

// The data of the Run entry, or "(absent)".
std::string RunEntry() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return "(absent)";
    }
    char data[1024] = {};
    DWORD size = sizeof(data) - 1;
    const LONG result =
        RegQueryValueExA(key, "Vexlume", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(data) : "(absent)";
}

void WriteRunEntry(const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_WRITE,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, "Vexlume", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
}

void DeleteRunEntry() {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vexlume");
}

std::string Text(HWND dialog, int id) {
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void Type(HWND dialog, int id, const char* text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void Choose(HWND dialog, int list, int index) {
    HWND control = GetDlgItem(dialog, list);
    SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(list, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(control));
}

int Chosen(HWND dialog, int list) {
    return static_cast<int>(SendDlgItemMessageA(dialog, list, CB_GETCURSEL, 0, 0));
}

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

uint32_t ShownHotKey(HWND dialog, int slot) {
    return LOWORD(SendDlgItemMessageA(dialog, kHotKeyFirst + slot, HKM_GETHOTKEY, 0, 0));
}

bool WaitClosed(HWND dialog) {
    const double deadline = NowMs() + 10000;
    while (IsWindow(dialog) && NowMs() < deadline) {
        Sleep(20);
    }
    return !IsWindow(dialog);
}

bool NumLockOn() {
    return (GetKeyState(VK_NUMLOCK) & 1) != 0;
}

// NumLock is switched where the keyboard lives: under Wine that is the X server (Wine sets its own
// lock state from it), so the X tool does it there; on Windows a key press does.
void SetNumLock(bool on) {
    if (NumLockOn() == on) {
        return;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    char command[] = "Z:\\usr\\bin\\xdotool key Num_Lock";
    if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &started)) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    } else {
        Press(VK_NUMLOCK);
    }
    const double deadline = NowMs() + 5000;
    while (NumLockOn() != on && NowMs() < deadline) {
        Sleep(20);
    }
}

class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        DeleteRunEntry();
    }
    void TearDown() override { DeleteRunEntry(); }
    void StartProgram(const SettingsRecord* stored = nullptr) {
        program.reset();
        if (stored != nullptr) {
            WriteSettingsFile(*stored);
        }
        program.reset(new VexlumeProcess(copy.Program()));
        ASSERT_NE(nullptr, program->WaitForMainWindow());
    }
    // The dialog once it is shown, that is, once it has been filled.
    HWND Open() {
        program->PostCommand(6000);
        HWND dialog = WaitForWindow(program->Id(), "Vexlume Settings");
        const double deadline = NowMs() + 10000;
        while (dialog != nullptr && !IsWindowVisible(dialog) && NowMs() < deadline) {
            Sleep(20);
        }
        return dialog != nullptr && IsWindowVisible(dialog) ? dialog : nullptr;
    }
    // Clicks OK or Cancel and waits for the dialog to end.
    void Close(HWND dialog, int button) {
        Click(dialog, button);
        ASSERT_TRUE(WaitClosed(dialog));
        ASSERT_TRUE(program->Answers());
    }
    FakeEngine engine;
    ProgramCopy copy{EngineBeside::Fake};
    std::unique_ptr<VexlumeProcess> program;
};

// Slots 0 and 3 stored: not a first run.
SettingsRecord StoredSettings() {
    SettingsRecord record = FirstRunSettings();
    record.hotKeys[0] = 0x0665;
    record.hotKeys[3] = 0x0646;
    return record;
}

TEST_F(SettingsDialog, TheFirstRunOffersTheKeypadForTheNumLockStateAndOnlyOkLeaves) {
    const bool numLockBefore = NumLockOn();
    for (bool numLock : {false, true}) {
        SCOPED_TRACE(numLock ? "NumLock on" : "NumLock off");
        ResetProgramState();
        StartProgram();
        SetNumLock(numLock); // after the start: a new thread sees only later changes under Wine
        ASSERT_EQ(numLock, NumLockOn());
        HWND dialog = Open();
        ASSERT_NE(nullptr, dialog);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kCancel)));
        SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(program->Answers());
        EXPECT_TRUE(IsWindow(dialog)) << "the close box does nothing on a first run";
        for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
            EXPECT_EQ(FirstRunHotKey(slot, numLock), ShownHotKey(dialog, slot)) << slot;
        }
        Close(dialog, kOk);
        const SettingsRecord saved = SavedRecord();
        for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
            EXPECT_EQ(FirstRunHotKey(slot, numLock), saved.hotKeys[slot]) << slot;
        }
        EXPECT_TRUE(KeyTaken(HotKeyModifiers(saved.hotKeys[0]), HotKeyVirtualKey(saved.hotKeys[0])))
            << "the On/Off key is registered at once";
    }
    SetNumLock(numLockBefore);
}

TEST_F(SettingsDialog, OkStoresTheTypedWidthEvenAndWithinTheScreen) {
    StartProgram();
    const struct {
        const char* typed;
        uint32_t saved;
    } cases[] = {
        {"33", 34}, {"10", 32}, {"5000", static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN))}};
    for (const auto& c : cases) {
        HWND dialog = Open();
        ASSERT_NE(nullptr, dialog);
        Type(dialog, kWidth, c.typed);
        Close(dialog, kOk);
        EXPECT_EQ(c.saved, SavedRecord().engine.lensWidth) << c.typed;
    }
    EXPECT_EQ(124u, FileContent(SettingsPath()).size());
}

TEST_F(SettingsDialog, TheSizeListFollowsTheTypedSizeAndCancelKeepsTheFile) {
    const SettingsRecord stored = StoredSettings();
    StartProgram(&stored);
    const std::string before = FileContent(SettingsPath());
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(2, Chosen(dialog, kSizeList)) << "256 x 128 is the default entry";
    const std::string screenWidth = std::to_string(GetSystemMetrics(SM_CXSCREEN));
    const struct {
        int choose; // -1: type instead
        int box;
        const char* typed;
        int listShows;
        std::string width, height;
    } steps[] = {
        {4, 0, nullptr, 4, screenWidth, "128"}, // the line entry fills both boxes
        {-1, kHeight, "129", 0, screenWidth, "129"},
        {-1, kHeight, "128", 4, screenWidth, "128"},
        {-1, kWidth, "256", 0, "256", "128"},
        {0, 0, nullptr, 2, "256", "128"}, // "Custom" gives way to the matching entry
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.typed != nullptr ? s.typed : std::to_string(s.choose));
        if (s.choose >= 0) {
            Choose(dialog, kSizeList, s.choose);
        } else {
            Type(dialog, s.box, s.typed);
        }
        EXPECT_EQ(s.listShows, Chosen(dialog, kSizeList));
        EXPECT_EQ(s.width, Text(dialog, kWidth));
        EXPECT_EQ(s.height, Text(dialog, kHeight));
    }
    Close(dialog, kCancel);
    EXPECT_EQ(before, FileContent(SettingsPath()));
}

TEST_F(SettingsDialog, TheSlidersShowTheirValuesAndChangeTheRecordAtOnce) {
    SettingsRecord stored = StoredSettings();
    stored.engine.transparency = 128;
    StartProgram(&stored);
    const std::string before = FileContent(SettingsPath());
    ASSERT_TRUE(program->RunCommand(8002));
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(1, engine->closes) << "the lens is off while the dialog is open";
    EXPECT_EQ("2.0", Text(dialog, kZoomLabel));
    EXPECT_EQ("50", Text(dialog, kTransparencyLabel));
    HWND zoom = GetDlgItem(dialog, kZoom);
    SendMessageA(zoom, TBM_SETPOS, TRUE, 5);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5),
                 reinterpret_cast<LPARAM>(zoom));
    EXPECT_EQ("2.5", Text(dialog, kZoomLabel));
    Close(dialog, kCancel);
    EXPECT_EQ(before, FileContent(SettingsPath()));
    ASSERT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.creates == 2; }))
        << "the lens comes back after the dialog";
    SettingsRecord record = {};
    ASSERT_TRUE(engine.ReadRecord(*program, &record));
    EXPECT_EQ(2.5f, record.engine.zoom) << "the slider's zoom stays in memory after Cancel";
}

TEST_F(SettingsDialog, AStoredFileIsShownAsStoredAndOkKeepsIt) {
    SettingsRecord stored = StoredSettings();
    stored.engine.frameWait = 3000000000u; // beyond a signed number
    stored.engine.lensWidth = 300;
    stored.engine.lensHeight = 150;
    stored.engine.displayMode = 0;
    stored.engine.internalCursor = 5;
    stored.engine.followFocus = 1;
    stored.showOnStart = 1;
    stored.sound = 0;
    StartProgram(&stored);
    const std::string before = FileContent(SettingsPath());
    for (int round = 0; round < 2; ++round) {
        HWND dialog = Open();
        ASSERT_NE(nullptr, dialog);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kCancel)));
        EXPECT_EQ("3000000000", Text(dialog, kWait));
        EXPECT_EQ(" 300", Text(dialog, kWidth));
        EXPECT_EQ(" 150", Text(dialog, kHeight));
        EXPECT_EQ(0, Chosen(dialog, kSizeList)) << "Custom";
        EXPECT_TRUE(Checked(dialog, 1003)) << "display mode 0 shows Show all";
        EXPECT_FALSE(Checked(dialog, 1004));
        EXPECT_TRUE(Checked(dialog, 1016));
        EXPECT_FALSE(Checked(dialog, 1033));
        EXPECT_TRUE(Checked(dialog, 1035));
        EXPECT_TRUE(Checked(dialog, 1017));
        EXPECT_EQ(4, Chosen(dialog, 1034)) << "None";
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1034)));
        for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
            EXPECT_EQ(stored.hotKeys[slot], ShownHotKey(dialog, slot)) << "empty slots stay empty";
        }
        if (round == 0) {
            SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            ASSERT_TRUE(WaitClosed(dialog)) << "the close box acts as Cancel";
            EXPECT_EQ(before, FileContent(SettingsPath()));
        } else {
            Close(dialog, kOk);
        }
    }
    SettingsRecord expected = stored;
    expected.engine.displayMode = 1;
    const SettingsRecord saved = SavedRecord();
    EXPECT_EQ(expected.engine.displayMode, saved.engine.displayMode);
    EXPECT_EQ(expected.engine.internalCursor, saved.engine.internalCursor);
    EXPECT_EQ(expected.engine.frameWait, saved.engine.frameWait);
    EXPECT_EQ(expected.engine.lensWidth, saved.engine.lensWidth);
    EXPECT_EQ(expected.engine.lensHeight, saved.engine.lensHeight);
    EXPECT_EQ(expected.engine.followFocus, saved.engine.followFocus);
    EXPECT_EQ(expected.showOnStart, saved.showOnStart);
    EXPECT_EQ(expected.sound, saved.sound);
    EXPECT_EQ(0, std::memcmp(expected.hotKeys, saved.hotKeys, sizeof(saved.hotKeys)));
}

TEST_F(SettingsDialog, StartWithWindowsFollowsTheRunEntry) {
    const SettingsRecord stored = StoredSettings();
    StartProgram(&stored);
    const std::string ours = "\"" + copy.Program() + "\" /a";
    const struct {
        std::string entryBefore; // written by hand before the dialog opens; empty: as left
        bool shownChecked;
        std::string entryAfter; // after a click on the box and OK
    } rounds[] = {
        {"", false, ours},
        {"", true, "(absent)"},
        // An entry too long for a 255-byte read is still an entry, and unchecking removes it.
        {"\"C:\\" + std::string(300, 'v') + ".exe\" /a", true, "(absent)"},
    };
    for (const auto& r : rounds) {
        SCOPED_TRACE(r.entryAfter);
        if (!r.entryBefore.empty()) {
            WriteRunEntry(r.entryBefore);
        }
        HWND dialog = Open();
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(r.shownChecked, Checked(dialog, kStartWithWindows));
        Click(dialog, kStartWithWindows);
        Close(dialog, kOk);
        EXPECT_EQ(r.entryAfter, RunEntry());
        EXPECT_EQ(r.entryAfter == ours ? 1u : 0u, SavedRecord().startWithWindows);
    }
}

TEST_F(SettingsDialog, AnOnOffKeyHeldElsewhereLeavesThePreviousKeyWorking) {
    const SettingsRecord stored = StoredSettings(); // On/Off: Ctrl+Alt+Num 5
    StartProgram(&stored);
    ASSERT_TRUE(RegisterHotKey(nullptr, 0x7002, MOD_CONTROL | MOD_ALT, 'F'));
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    SendDlgItemMessageA(dialog, kHotKeyFirst, HKM_SETHOTKEY, 0x0646, 0); // Ctrl+Alt+F
    Close(dialog, kOk);
    UnregisterHotKey(nullptr, 0x7002);
    EXPECT_EQ(0x0665u, SavedRecord().hotKeys[0]);
    EXPECT_TRUE(KeyTaken(MOD_CONTROL | MOD_ALT, VK_NUMPAD5)) << "registered again";
}

TEST_F(SettingsDialog, EscEndsTheProgramWithoutWritingTheFile) {
    StartProgram();
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    PostMessageA(GetDlgItem(dialog, kOk), WM_KEYDOWN, VK_ESCAPE, 0);
    DWORD code = 1234;
    ASSERT_TRUE(program->WaitForExit(10000, &code));
    EXPECT_EQ(0u, code);
    EXPECT_EQ("(missing)", FileContent(SettingsPath()));
}

// Web addresses are opened by url_probe.exe, registered for the test as the program that opens
// them, which writes each address it is given into a file. Wine reads the classes from the
// machine's part of the registry, Windows from the user's first: both are set, and the machine's
// previous value is put back.
class WebPages : public SettingsDialog {
protected:
    void SetUp() override {
        SettingsDialog::SetUp();
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        opened = std::string(temp) + "vexlume-opened-pages.txt";
        DeleteFileA(opened.c_str());
        const std::string command =
            "\"" + ProgramFolder() + "\\url_probe.exe\" \"" + opened + "\" \"%1\"";
        char previous[1024] = {};
        DWORD size = sizeof(previous);
        if (RegGetValueA(HKEY_LOCAL_MACHINE, kHandlerKey, nullptr, RRF_RT_REG_SZ, nullptr, previous,
                         &size) == ERROR_SUCCESS) {
            machineHandler = previous;
        }
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            RegSetKeyValueA(root, kHandlerKey, nullptr, REG_SZ, command.c_str(),
                            static_cast<DWORD>(command.size() + 1));
        }
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\https");
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, kHandlerKey, nullptr, REG_SZ, machineHandler.c_str(),
                        static_cast<DWORD>(machineHandler.size() + 1));
        DeleteFileA(opened.c_str());
        SettingsDialog::TearDown();
    }
    std::vector<std::string> OpenedPages(size_t count) {
        const double deadline = NowMs() + 15000;
        std::vector<std::string> lines;
        do {
            lines.clear();
            std::string bytes = FileContent(opened);
            for (size_t start = 0, end; (end = bytes.find('\n', start)) != std::string::npos;
                 start = end + 1) {
                lines.push_back(bytes.substr(start, end - start));
            }
            Sleep(50);
        } while (lines.size() < count && NowMs() < deadline);
        return lines;
    }
    static constexpr const char* kHandlerKey = "Software\\Classes\\https\\shell\\open\\command";
    std::string opened;
    std::string machineHandler;
};

TEST_F(WebPages, HelpAndDonateOpenTheEditionOfTheSystemLanguage) {
    const bool russian = GetSystemDefaultLangID() == 0x0419;
    if (std::getenv("VX_EXPECT_RUSSIAN") != nullptr) {
        ASSERT_TRUE(russian) << "this run needs a Russian system language (LANG=ru_RU.CP1251)";
    }
    const SettingsRecord stored = StoredSettings();
    StartProgram(&stored);
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    Click(dialog, 1015);
    ASSERT_EQ(1u, OpenedPages(1).size());
    Click(dialog, 1014);
    const std::vector<std::string> pages = OpenedPages(2);
    ASSERT_EQ(2u, pages.size());
    const auto endsWith = [](const std::string& text, const std::string& end) {
        return text.size() >= end.size() &&
               text.compare(text.size() - end.size(), end.size(), end) == 0;
    };
    EXPECT_TRUE(endsWith(pages[0], russian ? "/vexlume/help[ru].html" : "/vexlume/help.html"))
        << pages[0];
    EXPECT_TRUE(endsWith(pages[1], russian ? "/vexlume/donate[ru].html" : "/vexlume/donate.html"))
        << pages[1];
    EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays open";
    Close(dialog, kCancel);
}

} // namespace
