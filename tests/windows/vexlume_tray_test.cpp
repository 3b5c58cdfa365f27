// The tray icon and its menu in the running program: the texts in the system's language, the
// Plug-Ins submenu and the plug-in switch, the icon's return with a new taskbar, the about box.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "scoped_handles.h"
#include "test_support.h"
#include "vexlume_process.h"

namespace {

constexpr UINT kTrayMessage = 15000;

class Tray : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void StartProgram() {
        program.reset(new VexlumeProcess(copy.Program()));
        ASSERT_NE(nullptr, program->WaitForMainWindow());
    }
    // Opens the menu with a click on the icon, reads it and closes it again.
    std::vector<MenuItemSeen> OpenMenu(LPARAM click = WM_RBUTTONUP) {
        program->Post(kTrayMessage, 333, click);
        HWND menu = WaitForPopupMenu();
        EXPECT_NE(nullptr, menu) << "the menu opens";
        if (menu == nullptr) {
            return {};
        }
        std::vector<MenuItemSeen> items = ReadOpenMenu(menu);
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(WaitUntil([menu] { return !IsWindowVisible(menu); })) << "Escape closes it";
        EXPECT_TRUE(program->Answers());
        return items;
    }
    FakeEngine engine;
    ProgramCopy copy{EngineBeside::Fake};
    std::unique_ptr<VexlumeProcess> program;
};

void CreatePluginFile(const std::string& name, const std::string& content = "") {
    UniqueFile file(CreateFileA((PluginFolder() + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
}

bool PluginFileExists(const std::string& name) {
    return GetFileAttributesA((PluginFolder() + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string PluginFileContent(const std::string& name) {
    UniqueFile file(CreateFileA((PluginFolder() + "\\" + name).c_str(), GENERIC_READ,
                                FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char bytes[64] = {};
    DWORD read = 0;
    ReadFile(file.Get(), bytes, sizeof(bytes) - 1, &read, nullptr);
    return std::string(bytes, read);
}

const MenuItemSeen* Find(const std::vector<MenuItemSeen>& items, const std::wstring& text) {
    for (const MenuItemSeen& item : items) {
        if (item.text == text) {
            return &item;
        }
    }
    return nullptr;
}

struct Expected {
    int depth;
    UINT id;
    const wchar_t* text; // null for a separator
};

// The menu items in order, with the plug-ins left out (their order is the file system's).
std::vector<Expected> ExpectedMenu(bool russian) {
    const UINT popup = static_cast<UINT>(-1);
    if (russian) {
        return {{0, 8004,
                 L"\u041f\u043e\u0441\u0435\u0442\u0438\u0442\u044c "
                 L"\u0441\u0430\u0439\u0442"},
                {0, 8005, L"\u041e \u043f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0435..."},
                {0, 0, nullptr},
                {0, 6000, L"\u041d\u0430\u0441\u0442\u0440\u043e\u0439\u043a\u0438"},
                {0, 6001, L"\u041f\u0430\u0440\u0430\u043c\u0435\u0442\u0440\u044b..."},
                {0, 9200,
                 L"\u0421\u0433\u043b\u0430\u0436\u0435\u043d\u043d\u043e\u0435 "
                 L"\u0438\u0437\u043e\u0431\u0440\u0430\u0436\u0435\u043d\u0438\u0435"},
                {0, popup, L"\u0412\u0438\u0434"},
                {1, 9101, L"\u041b\u0443\u043f\u0430"},
                {1, 9102, L"\u0412\u0435\u0441\u044c \u044d\u043a\u0440\u0430\u043d"},
                {1, 9103,
                 L"\u0417\u0430\u043a\u0440\u0435\u043f\u043b\u0451\u043d\u043d\u0430\u044f "
                 L"\u043e\u0431\u043b\u0430\u0441\u0442\u044c"},
                {1, 0, nullptr},
                {1, 9111,
                 L"\u0414\u0435\u0440\u0436\u0430\u0442\u044c \u0432 "
                 L"\u0446\u0435\u043d\u0442\u0440\u0435"},
                {1, 9112,
                 L"\u041f\u0440\u043e\u043f\u043e\u0440\u0446\u0438\u043e"
                 L"\u043d\u0430\u043b\u044c\u043d\u043e"},
                {1, 9113,
                 L"\u0421\u0434\u0432\u0438\u0433\u0430\u0442\u044c \u0443 "
                 L"\u043a\u0440\u0430\u044f"},
                {0, popup, L"Plug-Ins"},
                {1, 0, nullptr},
                {1, 11025, L"Get more Plug-Ins..."},
                {0, 0, nullptr},
                {0, 8002,
                 L"\u041f\u043e\u043a\u0430\u0437\u0430\u0442\u044c / "
                 L"\u0421\u043a\u0440\u044b\u0442\u044c"},
                {0, 2, L"\u0412\u044b\u0445\u043e\u0434"}};
    }
    return {{0, 8004, L"Visit Website"},
            {0, 8005, L"About..."},
            {0, 0, nullptr},
            {0, 6000, L"Settings..."},
            {0, 6001, L"Options..."},
            {0, 9200, L"Smooth image"},
            {0, popup, L"View"},
            {1, 9101, L"Lens"},
            {1, 9102, L"Full screen"},
            {1, 9103, L"Docked"},
            {1, 0, nullptr},
            {1, 9111, L"Keep the pointer centred"},
            {1, 9112, L"Proportional"},
            {1, 9113, L"Push at the edge"},
            {0, popup, L"Plug-Ins"},
            {1, 0, nullptr},
            {1, 11025, L"Get more Plug-Ins..."},
            {0, 0, nullptr},
            {0, 8002, L"Show / Hide"},
            {0, 2, L"Exit"}};
}

TEST_F(Tray, TheMenuShowsItsCommandsInTheSystemLanguageWithThePlugIns) {
    const bool russian = GetSystemDefaultLangID() == 0x0419;
    if (std::getenv("VX_EXPECT_RUSSIAN") != nullptr) {
        ASSERT_TRUE(russian) << "this run needs a Russian system language (LANG=ru_RU.CP1251)";
    }
    CreatePluginFile("Blur.dll");
    CreatePluginFile("Edge.lib");
    CreatePluginFile("readme.txt");
    StartProgram();
    const std::vector<MenuItemSeen> items = OpenMenu();

    std::vector<MenuItemSeen> fixed;
    const MenuItemSeen* blur = nullptr;
    const MenuItemSeen* edge = nullptr;
    for (const MenuItemSeen& item : items) {
        if (item.text == L"Blur") {
            blur = &item;
        } else if (item.text == L"Edge") {
            edge = &item;
        } else {
            fixed.push_back(item);
        }
    }
    const std::vector<Expected> expected = ExpectedMenu(russian);
    ASSERT_EQ(expected.size(), fixed.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].depth, fixed[i].depth) << i;
        if (expected[i].text == nullptr) {
            EXPECT_TRUE(fixed[i].state & MF_SEPARATOR) << i;
            continue;
        }
        EXPECT_EQ(std::wstring(expected[i].text), fixed[i].text) << i;
        if (expected[i].id != static_cast<UINT>(-1)) {
            EXPECT_EQ(expected[i].id, fixed[i].id) << i;
        }
    }
    ASSERT_NE(nullptr, blur);
    ASSERT_NE(nullptr, edge);
    EXPECT_EQ(1, blur->depth);
    EXPECT_TRUE(blur->state & MF_CHECKED) << "a dll is switched on";
    EXPECT_FALSE(edge->state & MF_CHECKED) << "a lib is switched off";
    EXPECT_EQ(20001u, blur->id + edge->id) << "commands 10000 and 10001";
}

TEST_F(Tray, TheLeftButtonOpensTheSameMenuAndOtherMouseMessagesNone) {
    StartProgram();
    for (LPARAM other : {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        ASSERT_TRUE(program->Send(kTrayMessage, 333, other)) << "no menu loop holds it up";
    }
    EXPECT_FALSE(IsWindowVisible(FindWindowA("#32768", nullptr)));
    EXPECT_EQ(ExpectedMenu(false).size(), OpenMenu(WM_LBUTTONUP).size());
}

TEST_F(Tray, WithoutANotificationAreaTheMenuOpensAtThePointer) {
    if (FindWindowExA(FindWindowA("Shell_TrayWnd", nullptr), nullptr, "TrayNotifyWnd", nullptr)) {
        GTEST_SKIP() << "this taskbar has a notification area";
    }
    StartProgram();
    ASSERT_TRUE(MovePointer(600, 500));
    program->Post(kTrayMessage, 333, WM_RBUTTONUP);
    HWND menu = WaitForPopupMenu();
    ASSERT_NE(nullptr, menu);
    RECT r = {};
    GetWindowRect(menu, &r);
    EXPECT_EQ(600, r.left);
    EXPECT_EQ(500, r.bottom) << "the menu's bottom-left corner at the pointer";
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(Tray, TheMenuListsAtMost1024PlugInsAndIgnoresCommandsBeyond) {
    for (int i = 0; i < 1030; ++i) {
        char name[32];
        wsprintfA(name, "p%04d.dll", i);
        CreatePluginFile(name);
    }
    StartProgram();
    const std::vector<MenuItemSeen> items = OpenMenu();
    ASSERT_FALSE(items.empty());
    for (UINT command : {11024u, 11023u}) { // beyond the list first: nothing happens
        ASSERT_TRUE(program->RunCommand(command));
    }
    int switchedOff = 0;
    for (int i = 0; i < 1030; ++i) {
        char name[32];
        wsprintfA(name, "p%04d.lib", i);
        switchedOff += PluginFileExists(name) ? 1 : 0;
    }
    EXPECT_EQ(1, switchedOff) << "only the last listed plug-in, command 11023";
    EXPECT_TRUE(program->Answers());
}

TEST_F(Tray, ThePlugInSwitchRenamesDllToLibAndBackAndRestartsARunningLens) {
    CreatePluginFile("Filter.dll");
    StartProgram();
    ASSERT_TRUE(program->RunCommand(8002));
    const MenuItemSeen* filter = nullptr;
    const std::vector<MenuItemSeen> items = OpenMenu();
    filter = Find(items, L"Filter");
    ASSERT_NE(nullptr, filter);
    ASSERT_EQ(10000u, filter->id);

    ASSERT_TRUE(program->RunCommand(10000));
    EXPECT_TRUE(PluginFileExists("Filter.lib"));
    EXPECT_FALSE(PluginFileExists("Filter.dll"));
    EXPECT_EQ(2, engine->creates) << "the lens was stopped for the switch and started again";
    EXPECT_EQ(1, engine->open);

    ASSERT_TRUE(program->RunCommand(10000));
    EXPECT_TRUE(PluginFileExists("Filter.dll"));
    EXPECT_FALSE(PluginFileExists("Filter.lib"));

    ASSERT_TRUE(program->RunCommand(10001)) << "beyond the listed plug-ins";
    EXPECT_TRUE(PluginFileExists("Filter.dll"));
    EXPECT_EQ(3, engine->creates);
}

TEST_F(Tray, SwitchingAPlugInWhoseCounterpartExistsReplacesTheCounterpart) {
    CreatePluginFile("Sharp.dll", "new");
    CreatePluginFile("Sharp.lib", "old");
    StartProgram();
    const std::vector<MenuItemSeen> items = OpenMenu();
    const MenuItemSeen* on = nullptr;
    for (const MenuItemSeen& item : items) {
        if (item.text == L"Sharp" && (item.state & MF_CHECKED)) {
            on = &item;
        }
    }
    ASSERT_NE(nullptr, on);
    ASSERT_TRUE(program->RunCommand(on->id));
    EXPECT_FALSE(PluginFileExists("Sharp.dll"));
    EXPECT_EQ("new", PluginFileContent("Sharp.lib"));
}

// With an application-data folder of 250 characters there is no plug-in folder: the menu lists
// no plug-in (never a library of the current directory), no switch renames a file, and the
// program started in its own folder keeps its engine.
TEST_F(Tray, WithoutAPlugInFolderNothingIsListedOrRenamed) {
    AppDataRedirect longFolder(250);
    ProgramCopy own(EngineBeside::Real);
    program.reset(new VexlumeProcess(own.Program(), "", own.Folder()));
    ASSERT_NE(nullptr, program->WaitForMainWindow());
    const std::vector<MenuItemSeen> items = OpenMenu();
    EXPECT_EQ(ExpectedMenu(false).size(), items.size()) << "no plug-in in the menu";
    EXPECT_EQ(nullptr, Find(items, L"qxmagnifier"));

    ASSERT_TRUE(program->RunCommand(10000));
    const std::string engineFile = own.Folder() + "\\qxmagnifier.dll";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(engineFile.c_str()));
    ASSERT_TRUE(program->RunCommand(8002));
    EXPECT_TRUE(program->HasModule("qxmagnifier.dll")) << "the lens still switches on";
    ASSERT_TRUE(program->RunCommand(8002));
}

TEST_F(Tray, TheIconComesBackWhenTheTaskbarIsMadeAnew) {
    StartProgram();
    HWND window = program->MainWindow();
    ASSERT_TRUE(TrayIconPresent(window));
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = 333;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
    ASSERT_FALSE(TrayIconPresent(window));
    ASSERT_TRUE(program->Send(RegisterWindowMessageA("TaskbarCreated")));
    EXPECT_TRUE(TrayIconPresent(window));
}

TEST_F(Tray, TheAboutBoxClosesWithOkOrEscapeAndTheProgramRunsOn) {
    StartProgram();
    for (int round = 0; round < 2; ++round) {
        program->PostCommand(8005);
        HWND box = WaitForWindow(program->Id(), "About Vexlume");
        ASSERT_NE(nullptr, box);
        // A modal box is shown once its controls are made and filled in.
        ASSERT_TRUE(WaitUntil([box] { return IsWindowVisible(box) != FALSE; }));
        char text[32] = {};
        GetDlgItemTextA(box, 1041, text, sizeof(text));
        EXPECT_STREQ("OK", text);
        GetDlgItemTextA(box, 1042, text, sizeof(text));
        EXPECT_STREQ("Donate", text);
        GetDlgItemTextA(box, 1043, text, sizeof(text));
        EXPECT_STREQ("Help", text);
        char line[64] = {};
        GetDlgItemTextA(box, -1, line, sizeof(line));
        EXPECT_STREQ("Vexlume screen magnifier, version " VX_VERSION_TEXT, line);
        if (round == 0) {
            SendMessageA(GetDlgItem(box, 1041), BM_CLICK, 0, 0);
        } else {
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        }
        EXPECT_TRUE(WaitClosed(box)) << "round " << round;
        EXPECT_TRUE(program->Running());
    }
}

} // namespace
