// The settings dialog of the running program, driven with messages as a user drives it: the
// first-run setup, the sizes and their list, the sliders, a stored file shown and kept, start with
// Windows, Esc, and the help and donation pages; the dialog for screen readers and the keyboard
// (its tab order, its controls' names, the keys for a keyboard without a keypad).
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "appdata_folder.h"
#include "dialog_reading.h"
#include "hotkey_defaults.h"
#include "hotkey_rules.h"
#include "program_seams.h"
#include "seam_swap.h"
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
    WaitUntil([on] { return NumLockOn() == on; });
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
        return dialog != nullptr && WaitUntil([dialog] { return IsWindowVisible(dialog); })
                   ? dialog
                   : nullptr;
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

// Keys cleared and saved are the user's choice, in the same run and after a new start: they stay
// empty, and Cancel and the close box work.
TEST_F(SettingsDialog, ClearedKeysAreASavedChoiceNotAFirstRun) {
    const SettingsRecord stored = StoredSettings();
    StartProgram(&stored);
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
        SendDlgItemMessageA(dialog, kHotKeyFirst + slot, HKM_SETHOTKEY, 0, 0);
    }
    Close(dialog, kOk);
    for (const char* when : {"same run", "after a new start"}) {
        SCOPED_TRACE(when);
        if (when[0] == 'a') {
            StartProgram();
        }
        dialog = Open();
        ASSERT_NE(nullptr, dialog);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kCancel)));
        for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
            EXPECT_EQ(0u, ShownHotKey(dialog, slot)) << slot;
        }
        SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(WaitClosed(dialog)) << "the close box acts as Cancel";
    }
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

// The lens is off while the dialog is open and comes back after it; the sizes and the sliders
// follow the user; Cancel leaves the file alone but not the slider's zoom.
TEST_F(SettingsDialog, SizesAndSlidersFollowTheUserAndCancelKeepsTheFile) {
    SettingsRecord stored = StoredSettings();
    stored.engine.transparency = 128;
    StartProgram(&stored);
    const std::string before = FileContent(SettingsPath());
    ASSERT_TRUE(program->RunCommand(8002));
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(1, engine->closes);
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
    EXPECT_EQ("2.0", Text(dialog, kZoomLabel));
    EXPECT_EQ("50", Text(dialog, kTransparencyLabel));
    HWND zoom = GetDlgItem(dialog, kZoom);
    SendMessageA(zoom, TBM_SETPOS, TRUE, 5);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5),
                 reinterpret_cast<LPARAM>(zoom));
    EXPECT_EQ("2.5", Text(dialog, kZoomLabel));
    Close(dialog, kCancel);
    EXPECT_EQ(before, FileContent(SettingsPath()));
    ASSERT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.creates == 2; }));
    SettingsRecord record = {};
    ASSERT_TRUE(engine.ReadRecord(*program, &record));
    EXPECT_EQ(2.5f, record.engine.zoom);
}

// A start that failed with the lens clamped to the screen leaves the size saved after it alone.
TEST_F(SettingsDialog, TheSizeSavedAfterAFailedClampedStartIsTheOneTheNextStartUses) {
    SettingsRecord stored = StoredSettings();
    stored.engine.lensWidth = 4000;
    StartProgram(&stored);
    engine->failCreates = 1;
    ASSERT_TRUE(program->RunCommand(8002));
    engine->failCreates = 0;
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    Type(dialog, kWidth, "500");
    Close(dialog, kOk);
    ASSERT_TRUE(program->RunCommand(8002));
    ASSERT_EQ(2, engine->creates);
    EXPECT_EQ(500u, engine->starts[1].lensWidth);
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
        // Display mode 0 shows "Show all"; on start, sound, follow focus, internal cursor.
        for (const auto& box : {std::make_pair(1003, true), std::make_pair(1004, false),
                                std::make_pair(1016, true), std::make_pair(1033, false),
                                std::make_pair(1035, true), std::make_pair(1017, true)}) {
            EXPECT_EQ(box.second, Checked(dialog, box.first)) << box.first;
        }
        EXPECT_EQ(4, Chosen(dialog, 1034)) << "None";
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1034)));
        // The arrows beside the wait (15) and the width (the first of the two 80s).
        const struct {
            int id, buddy, lower, upper;
        } arrows[] = {{15, kWait, 1, 200}, {80, kWidth, 32, GetSystemMetrics(SM_CXSCREEN)}};
        for (const auto& a : arrows) {
            HWND control = GetDlgItem(dialog, a.id);
            EXPECT_EQ(GetDlgItem(dialog, a.buddy),
                      reinterpret_cast<HWND>(SendMessageA(control, UDM_GETBUDDY, 0, 0)));
            const LRESULT range = SendMessageA(control, UDM_GETRANGE, 0, 0);
            EXPECT_EQ(a.lower, HIWORD(range)) << a.id;
            EXPECT_EQ(a.upper, LOWORD(range)) << a.id;
        }
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
    const SettingsRecord saved = SavedRecord();
    SettingsRecord expected = stored;
    expected.engine.displayMode = 1;                        // "Show all"
    expected.engine.sourceWidth = saved.engine.sourceWidth; // derived, not the dialog's
    expected.engine.sourceHeight = saved.engine.sourceHeight;
    EXPECT_EQ(0, std::memcmp(&expected, &saved, sizeof(saved)));
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
            SetRegistryText(HKEY_CURRENT_USER, kRunKey, "Vexlume", r.entryBefore);
        }
        HWND dialog = Open();
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(r.shownChecked, Checked(dialog, kStartWithWindows));
        Click(dialog, kStartWithWindows);
        Close(dialog, kOk);
        EXPECT_EQ(r.entryAfter, RegistryText(HKEY_CURRENT_USER, kRunKey, "Vexlume"));
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
    ASSERT_TRUE(program->WaitForExit(&code));
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
        machineHandler = RegistryText(HKEY_LOCAL_MACHINE, kHandlerKey, nullptr);
        const std::string probe =
            "\"" + ProgramFolder() + "\\url_probe.exe\" \"" + opened + "\" \"%1\"";
        SetRegistryText(HKEY_CURRENT_USER, kHandlerKey, nullptr, probe);
        SetRegistryText(HKEY_LOCAL_MACHINE, kHandlerKey, nullptr, probe);
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\https");
        SetRegistryText(HKEY_LOCAL_MACHINE, kHandlerKey, nullptr, machineHandler);
        DeleteFileA(opened.c_str());
        SettingsDialog::TearDown();
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
    const struct {
        int button;
        const char* page;
    } buttons[] = {{1015, russian ? "/vexlume/help[ru].html\n" : "/vexlume/help.html\n"},
                   {1014, russian ? "/vexlume/donate[ru].html\n" : "/vexlume/donate.html\n"}};
    for (const auto& b : buttons) {
        Click(dialog, b.button);
        WaitUntil([&] { return FileContent(opened).find(b.page) != std::string::npos; });
        EXPECT_NE(std::string::npos, FileContent(opened).find(b.page)) << FileContent(opened);
    }
    EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays open";
    Close(dialog, kCancel);
}

// --- Made for screen readers and the keyboard.

RECT Place(HWND window) {
    RECT place = {};
    GetWindowRect(window, &place);
    return place;
}

// Whether a screen reader reads `a` before `b`: the hot keys' column first, then from the top,
// and along one row from the left.
bool ReadsBefore(HWND dialog, HWND a, HWND b) {
    const LONG column = Place(FindWindowExA(dialog, nullptr, "Button", "Hot keys")).right;
    const RECT p = Place(a), q = Place(b);
    const LONG rise = (q.top + q.bottom) / 2 - (p.top + p.bottom) / 2;
    if ((p.left >= column) != (q.left >= column)) {
        return q.left >= column;
    }
    return rise > 4 || (rise >= -4 && p.left < q.left);
}

TEST_F(SettingsDialog, ReachLaptopKeysNeedNoKeypadAndWorkAndAreSavedAtOnce) {
    const SettingsRecord stored = StoredSettings();
    StartProgram(&stored);
    program->PostCommand(6001);
    HWND options = WaitForWindow(program->Id(), "Vexlume Options");
    ASSERT_NE(nullptr, options);
    HWND button = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return (button = FindWindowExA(options, nullptr, "Button", "Use laptop keys")) != nullptr;
    }));
    SendMessageA(button, BM_CLICK, 0, 0);
    char text[64] = {};
    GetWindowTextA(button, text, sizeof(text));
    EXPECT_STREQ("Laptop keys in use", text);
    const SettingsRecord saved = SavedRecord();
    for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
        EXPECT_EQ(LaptopHotKey(slot), saved.hotKeys[slot]) << slot;
    }
    XInput("key ctrl+alt+o");
    EXPECT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.creates == 1; }))
        << "Ctrl+Alt+O switched the lens on";
    SendMessageA(options, WM_COMMAND, IDCANCEL, 0);
    // The program's own dialog, in reading order: Tab from OK (the last) comes to On/Off (the
    // first), which shows the new key.
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(GetDlgItem(dialog, kHotKeyFirst),
              GetNextDlgTabItem(dialog, GetDlgItem(dialog, kCancel), FALSE));
    EXPECT_EQ(LaptopHotKey(0), ShownHotKey(dialog, 0));
    Close(dialog, kCancel);
}

// What the dialog handed the annotation service, which under Wine answers E_NOTIMPL.
std::map<HWND, std::wstring> namesGiven;

HRESULT RecordName(IAccPropServices*, HWND window, DWORD object, DWORD child, MSAAPROPID property,
                   LPCWSTR text) {
    if (object == static_cast<DWORD>(OBJID_CLIENT) && child == CHILDID_SELF &&
        IsEqualGUID(property, PROPID_ACC_NAME)) {
        namesGiven[window] += text;
    }
    return E_NOTIMPL;
}

INT_PTR CALLBACK ArrangeOnly(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        CreateUpDownControl(WS_CHILD | UDS_ALIGNRIGHT, 0, 0, 0, 0, dialog, 15, nullptr,
                            GetDlgItem(dialog, kWait), 200, 1, 20);
        ArrangeSettingsForReading(dialog);
    }
    return FALSE;
}

// The labels (static texts) just beside `control`: at most 20 pixels to its left and right, level
// with its first 24 pixels (a closed list's rectangle may take in its open height); and those of
// the other rows.
struct Labels {
    std::wstring left, right;
    std::vector<std::wstring> others;
};

Labels LabelsBeside(HWND dialog, HWND control) {
    const RECT c = Place(control);
    Labels labels;
    for (HWND s = GetWindow(dialog, GW_CHILD); s != nullptr; s = GetWindow(s, GW_HWNDNEXT)) {
        WCHAR text[64] = {}, kind[16] = {};
        GetClassNameW(s, kind, 16);
        // An icon's text is its one-letter name.
        if (lstrcmpiW(kind, L"Static") != 0 || GetDlgCtrlID(s) != -1 ||
            GetWindowTextW(s, text, 64) < 2) {
            continue;
        }
        const RECT p = Place(s);
        const LONG middle = (p.top + p.bottom) / 2;
        const bool level = middle >= c.top && middle <= std::min(c.bottom, c.top + 24);
        if (level && p.right <= c.left && c.left - p.right <= 20) {
            labels.left = text;
        } else if (level && p.left >= c.right && p.left - c.right <= 20) {
            labels.right = text;
        } else if (!level) {
            labels.others.push_back(text);
        }
    }
    return labels;
}

// The dialog as the program arranges it: the tab order and the names handed to the service.
TEST(SettingsReading, ReachTabFollowsTheReadingOrderAndEachControlIsNamedAfterTheLabelBesideIt) {
    SeamSwap<decltype(Seams().setHwndPropStr)> recorder(Seams().setHwndPropStr, RecordName);
    InitCommonControls();
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "SETUP", nullptr, ArrangeOnly, 0);
    ASSERT_NE(nullptr, dialog);
    ShowWindow(dialog, SW_SHOW);
    // Tab goes once round every control, backwards only from the last to the first.
    std::vector<HWND> walk = {GetDlgItem(dialog, kOk)};
    for (HWND next; (next = GetNextDlgTabItem(dialog, walk.back(), FALSE)) != walk[0];) {
        walk.push_back(next);
    }
    int stops = 0, backwards = 0;
    for (size_t i = 0; i < walk.size(); ++i) {
        backwards += !ReadsBefore(dialog, walk[i], walk[(i + 1) % walk.size()]);
    }
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        stops += (GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP) != 0 && IsWindowVisible(c) &&
                 IsWindowEnabled(c);
    }
    EXPECT_EQ(static_cast<size_t>(stops), walk.size());
    EXPECT_EQ(1, backwards);

    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        char kind[32] = {};
        GetClassNameA(c, kind, sizeof(kind));
        const bool arrows = lstrcmpiA(kind, UPDOWN_CLASSA) == 0;
        if (!arrows && ((GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP) == 0 ||
                        (lstrcmpiA(kind, "Button") == 0 && GetWindowTextLengthA(c) > 0))) {
            continue; // no control, or one its own text names
        }
        const std::wstring name = namesGiven[c];
        EXPECT_FALSE(name.empty()) << GetDlgCtrlID(c);
        if (arrows) {
            EXPECT_EQ(namesGiven[GetDlgItem(dialog, kWait)], name) << "the arrows' buddy's name";
        } else {
            const Labels labels = LabelsBeside(dialog, c);
            const std::wstring& label = labels.left.empty() ? labels.right : labels.left;
            EXPECT_NE(std::wstring::npos, name.find(label.substr(0, label.find(L':'))))
                << GetDlgCtrlID(c);
            for (const std::wstring& other : labels.others) {
                EXPECT_EQ(std::wstring::npos, name.find(other)) << GetDlgCtrlID(c);
            }
        }
    }
    DestroyWindow(dialog);
}

} // namespace
