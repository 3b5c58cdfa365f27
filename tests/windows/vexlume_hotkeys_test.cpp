// The hot keys of the running program: which keys it holds when, real key presses and the
// routing of a hot-key message to its slot's command; and zooming with the wheel, which takes the
// zoom keys' way.
#include <gtest/gtest.h>

#include <memory>

#include "lens_steps.h"
#include "test_support.h"
#include "vexlume_process.h"

namespace {

class HotKeys : public ::testing::Test {
protected:
    void StartProgram(const SettingsRecord& settings) {
        ResetProgramState();
        WriteSettingsFile(settings);
        program.reset(new VexlumeProcess(copy.Program()));
        ASSERT_NE(nullptr, program->WaitForMainWindow());
    }
    uint32_t SourceWidth() {
        SettingsRecord record = {};
        EXPECT_TRUE(engine.ReadRecord(*program, &record));
        return record.engine.sourceWidth;
    }
    FakeEngine engine;
    ProgramCopy copy{EngineBeside::Fake};
    std::unique_ptr<VexlumeProcess> program;
};

TEST_F(HotKeys, OnOffWorksAtAnyTimeAndTheOthersOnlyWhileTheLensIsOn) {
    SettingsRecord settings = FirstRunSettings();
    settings.hotKeys[0] = 0x0065; // Num 5: On/Off
    settings.hotKeys[1] = 0x0068; // Num 8: Zoom+
    settings.hotKeys[2] = 0x0E26; // Ctrl+Alt and the extended Up key: Zoom-
    StartProgram(settings);
    EXPECT_TRUE(KeyTaken(0, VK_NUMPAD5));
    EXPECT_FALSE(KeyTaken(0, VK_NUMPAD8)) << "free while the lens is off";

    Press(VK_NUMPAD5);
    ASSERT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.creates == 1; }));
    ASSERT_TRUE(program->Answers());
    EXPECT_TRUE(KeyTaken(0, VK_NUMPAD8));
    EXPECT_TRUE(KeyTaken(MOD_ALT | MOD_CONTROL, VK_UP)) << "as typed, without the Windows key";
    EXPECT_FALSE(KeyTaken(MOD_ALT | MOD_CONTROL | MOD_WIN, VK_UP));

    Press(VK_NUMPAD8);
    EXPECT_TRUE(WaitUntil([&] { return SourceWidth() == 116; }));

    Press(VK_NUMPAD5);
    ASSERT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.closes == 1; }));
    ASSERT_TRUE(program->Answers());
    EXPECT_FALSE(KeyTaken(0, VK_NUMPAD8)) << "given up when the lens goes off";
    EXPECT_TRUE(KeyTaken(0, VK_NUMPAD5));
}

TEST_F(HotKeys, AHotKeyMessageRunsTheSlotOfItsKeyAndModifiers) {
    SettingsRecord settings = FirstRunSettings();
    settings.hotKeys[3] = 0x0646; // Ctrl+Alt+F: Size+
    settings.hotKeys[4] = 0x0146; // Shift+F: Size-
    StartProgram(settings);
    ASSERT_TRUE(program->RunCommand(8002));
    program->Post(WM_HOTKEY, 0, MAKELPARAM(MOD_SHIFT, 'F'));
    ASSERT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.creates == 2; }));
    EXPECT_LT(engine->starts[1].lensWidth, engine->starts[0].lensWidth) << "Size-";
    program->Post(WM_HOTKEY, 0, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'F'));
    ASSERT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.creates == 3; }));
    EXPECT_GT(engine->starts[2].lensWidth, engine->starts[1].lensWidth) << "Size+";
    program->Post(WM_HOTKEY, 0, MAKELPARAM(0, 'F'));
    program->Post(WM_HOTKEY, 0, MAKELPARAM(0, 'G'));
    ASSERT_TRUE(program->HandledPosted());
    EXPECT_EQ(3, engine->creates) << "a key of no slot does nothing";
}

// The smooth image key, Ctrl+Alt+S unless the options file says otherwise, is held while the lens
// is on and switches the option, which the program keeps in options.ini.
TEST_F(HotKeys, TheSmoothImageKeySwitchesTheOptionWhileTheLensIsOn) {
    StartProgram(FirstRunSettings());
    EXPECT_FALSE(KeyTaken(MOD_ALT | MOD_CONTROL, 'S')) << "free while the lens is off";
    ASSERT_TRUE(program->RunCommand(8002));
    ASSERT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.creates == 1; }));
    EXPECT_TRUE(KeyTaken(MOD_ALT | MOD_CONTROL, 'S'));
    const std::string folder = PluginFolder();
    const std::string options = folder.substr(0, folder.rfind('\\')) + "\\options.ini";
    for (const char* value : {"smooth=on", "smooth=off"}) {
        program->Post(WM_HOTKEY, 0, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'S'));
        EXPECT_TRUE(WaitUntil([&] {
            return FileContent(options).find(value) != std::string::npos;
        })) << value;
    }
}

// A long list in front, under the pointer, that counts the wheel turns it gets. Under Wine, input
// passes the low-level hooks only as the thread in front takes its messages: each look at the list
// handles them.
WNDPROC listProcedure = nullptr;
int wheelTurnsSeen = 0;

LRESULT CALLBACK CountWheelTurns(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    wheelTurnsSeen += message == WM_MOUSEWHEEL;
    return CallWindowProcA(listProcedure, window, message, wParam, lParam);
}

int TopLine(HWND list) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
    return static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
}

TEST_F(HotKeys, ReachCtrlAltWheelZoomsByTheZoomStepsWhileOnAndAPlainWheelScrolls) {
    SettingsRecord settings = FirstRunSettings();
    StartProgram(settings);
    HWND list = CreateWindowA("LISTBOX", "", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 100, 100, 300, 300,
                              nullptr, nullptr, nullptr, nullptr);
    for (int i = 0; i < 200; ++i) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("line"));
    }
    listProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountWheelTurns)));
    SetForegroundWindow(list);
    ASSERT_TRUE(program->RunCommand(8002));
    ASSERT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.creates == 1; }));
    LensSizes sizes;
    DeriveSourceSize(&settings, &sizes);
    ASSERT_EQ(settings.engine.sourceWidth, SourceWidth());

    XInput("mousemove 250 250 click 5");
    ASSERT_TRUE(WaitUntil([&] { return TopLine(list) > 0; })) << "a plain wheel scrolls the list";
    const int turns = wheelTurnsSeen;
    auto zoomedTo = [&](uint32_t width) {
        return WaitUntil([&] { return TopLine(list) >= 0 && SourceWidth() == width; });
    };
    StepZoomIn(&settings, &sizes);
    StepZoomIn(&settings, &sizes);
    XInput("keydown ctrl+alt click --repeat 2 4 keyup ctrl+alt");
    EXPECT_TRUE(zoomedTo(settings.engine.sourceWidth)) << "two Zoom+ steps: " << SourceWidth();
    StepZoomOut(&settings, &sizes);
    XInput("keydown ctrl+alt click 5 keyup ctrl+alt");
    EXPECT_TRUE(zoomedTo(settings.engine.sourceWidth)) << "one Zoom- step: " << SourceWidth();
    EXPECT_EQ(turns, wheelTurnsSeen) << "the zooming turns never reached the list";

    ASSERT_TRUE(program->RunCommand(8002));
    ASSERT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.closes == 1; }));
    XInput("keydown ctrl+alt click 4 keyup ctrl+alt");
    EXPECT_TRUE(WaitUntil([&] { return TopLine(list) >= 0 && wheelTurnsSeen > turns; }))
        << "with the lens off, the list gets them";
    DestroyWindow(list);
}

} // namespace
