// The tray program's binding of the engine library: loading it from the program's own folder,
// the boxes when it is missing, the answers to the engine's reports, at most one engine at a
// time, and the clamp of a lens larger than the screen.
#include <gtest/gtest.h>

#include <memory>

#include "test_support.h"
#include "vexlume_process.h"

namespace {

constexpr unsigned kToggle = 8002;
const char kEngine[] = "qxmagnifier.dll";

class EngineBinding : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
};

bool WaitForModule(const VexlumeProcess& program, const char* name, bool loaded) {
    return WaitUntil([&] { return program.HasModule(name) == loaded; });
}

// The "Is not found" box of the program with its text; closes it.
std::string TakeNotFoundBox(const VexlumeProcess& program) {
    HWND box = WaitForWindow(program.Id(), "Is not found");
    if (box == nullptr) {
        return "(no box)";
    }
    char text[128] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitClosed(box);
    return text;
}

TEST_F(EngineBinding, OnOffLoadsTheEngineLibraryAndOnOffAgainUnloadsIt) {
    ProgramCopy copy(EngineBeside::Real);
    VexlumeProcess program(copy.Program());
    ASSERT_NE(nullptr, program.WaitForMainWindow());
    EXPECT_FALSE(program.HasModule(kEngine)) << "the lens is off at start";
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(program.RunCommand(kToggle));
        EXPECT_TRUE(WaitForModule(program, kEngine, true)) << "round " << round;
        ASSERT_TRUE(program.RunCommand(kToggle));
        EXPECT_TRUE(WaitForModule(program, kEngine, false)) << "round " << round;
    }
}

TEST_F(EngineBinding, WithoutTheLibraryBesideTheProgramEveryOnOffShowsIsNotFound) {
    ProgramCopy copy(EngineBeside::None);
    VexlumeProcess program(copy.Program());
    ASSERT_NE(nullptr, program.WaitForMainWindow());
    for (int round = 0; round < 2; ++round) {
        program.PostCommand(kToggle);
        EXPECT_EQ(kEngine, TakeNotFoundBox(program)) << "round " << round;
        EXPECT_TRUE(program.Answers());
    }
    EXPECT_FALSE(program.HasModule(kEngine));
}

TEST_F(EngineBinding, AnEngineLibraryInTheCurrentDirectoryIsNeverLoaded) {
    ProgramCopy planted(EngineBeside::Real);
    ProgramCopy copy(EngineBeside::None);
    VexlumeProcess program(copy.Program(), "", planted.Folder());
    ASSERT_NE(nullptr, program.WaitForMainWindow());
    program.PostCommand(kToggle);
    EXPECT_EQ(kEngine, TakeNotFoundBox(program));
    EXPECT_FALSE(program.HasModule(kEngine));
}

TEST_F(EngineBinding, OptionalLibrariesComeFromTheProgramFolderNeverTheCurrentDirectory) {
    ProgramCopy copy(EngineBeside::Real);
    ASSERT_TRUE(copy.Add("fakes\\full\\qxhidecursor.dll", "qxhidecursor.dll"));
    ProgramCopy planted(EngineBeside::None);
    ASSERT_TRUE(planted.Add("fakes\\full\\qxsender.dll", "qxsender.dll"));
    SettingsRecord settings = FirstRunSettings();
    settings.engine.internalCursor = 1; // the engine binds the pointer hider at its start
    WriteSettingsFile(settings);

    VexlumeProcess program(copy.Program(), "", planted.Folder());
    ASSERT_NE(nullptr, program.WaitForMainWindow());
    ASSERT_TRUE(program.RunCommand(kToggle));
    ASSERT_TRUE(WaitForModule(program, "qxhidecursor.dll", true))
        << "the engine thread bound the library beside the program";
    EXPECT_FALSE(program.HasModule("qxsender.dll"));
}

class FakeEngineBinding : public EngineBinding {
protected:
    void StartProgram(const SettingsRecord& settings = FirstRunSettings()) {
        WriteSettingsFile(settings);
        program.reset(new VexlumeProcess(copy.Program()));
        ASSERT_NE(nullptr, program->WaitForMainWindow());
    }
    void SwitchOn() {
        const LONG before = engine->creates;
        ASSERT_TRUE(program->RunCommand(kToggle));
        ASSERT_EQ(before + 1, engine->creates);
    }
    SettingsRecord Record() {
        SettingsRecord record = {};
        EXPECT_TRUE(engine.ReadRecord(*program, &record));
        return record;
    }
    FakeEngine engine;
    ProgramCopy copy{EngineBeside::Fake};
    std::unique_ptr<VexlumeProcess> program;
};

TEST_F(FakeEngineBinding, WhenTheLensComesUpABrightnessBelowNeutralIsRaisedTo1000) {
    StartProgram();
    for (LONG reported : {0L, 900L, 999L}) {
        engine->brightness = reported;
        SwitchOn();
        EXPECT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.brightness == 1000; }))
            << "reported " << reported;
        ASSERT_TRUE(program->RunCommand(kToggle));
    }
    engine->brightness = 1500;
    const LONG calls = engine->brightnessCalls;
    SwitchOn();
    ASSERT_TRUE(engine.WaitForAnswers());
    EXPECT_EQ(1500, engine->brightness);
    EXPECT_EQ(calls, engine->brightnessCalls);
}

TEST_F(FakeEngineBinding, AFailedSetUpOrPresentationSwitchesTheLensOff) {
    StartProgram();
    for (LONG code : {0L, 3L}) {
        SwitchOn();
        const LONG closes = engine->closes;
        engine->pendingCode = code;
        EXPECT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.open == 0; }))
            << "code " << code;
        ASSERT_TRUE(engine.WaitForAnswers());
        EXPECT_EQ(closes + 1, engine->closes);
        EXPECT_EQ(0, engine->open) << "no restart after code " << code;
    }
    SwitchOn(); // the program counts the lens as off: On/Off starts it again
}

// The message may come before the main thread waits for it, or be the program's own (the
// switch-off on the callback's thread posts the one that matches the adjustment keys to the
// lens): the test posts messages until the restart.
TEST_F(FakeEngineBinding, ALostSurfaceRestartsTheLensOnceTheMainThreadSeesAMessage) {
    SettingsRecord settings = FirstRunSettings();
    settings.hotKeys[1] = VK_NUMPAD8; // Zoom+
    StartProgram(settings);
    SwitchOn();
    engine->pendingCode = 2;
    ASSERT_TRUE(WaitUntil([&] {
        program->Post(WM_NULL);
        return engine->creates == 2;
    }));
    ASSERT_TRUE(engine.WaitForAnswers());
    EXPECT_EQ(1, engine->open);
    EXPECT_EQ(1, engine->maxOpen);
    EXPECT_FALSE(IsWindowVisible(program->MainWindow()));

    // The restart on the engine's thread leaves the adjustment keys working.
    ASSERT_TRUE(program->HandledPosted()) << "the keys are registered";
    Press(VK_NUMPAD8);
    EXPECT_TRUE(WaitUntil([&] { return Record().engine.sourceWidth == 116; }))
        << "the Zoom+ key after the restart";
}

TEST_F(FakeEngineBinding, AFullScreenWindowInFrontKeepsTheLensOffAfterALostSurface) {
    StartProgram();
    SwitchOn();
    HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "cover", WS_POPUP | WS_VISIBLE, 0, 0,
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, cover);
    SetForegroundWindow(cover);
    ASSERT_EQ(cover, GetForegroundWindow()) << "the test needs its window in front";
    engine->pendingCode = 2;
    ASSERT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.closes == 1; }));
    program->Post(WM_NULL);
    ASSERT_TRUE(engine.WaitForAnswers());
    EXPECT_EQ(1, engine->creates);
    DestroyWindow(cover);
    SwitchOn();
}

// A restart after a lost surface that finds no engine library shows its box without holding the
// program up: Exit is answered while the box is open.
TEST_F(FakeEngineBinding, ARestartThatFindsNoLibraryLeavesExitFreeWhileItsBoxIsOpen) {
    StartProgram();
    SwitchOn();
    const std::string library = copy.Folder() + "\\" + kEngine;
    ASSERT_TRUE(MoveFileA(library.c_str(), (library + ".away").c_str()));
    // A callback that holds the library would keep it loaded, and so found, for the restart.
    engine->unheldCallbacks = 1;
    engine->pendingCode = 2;
    ASSERT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.closes == 1; }));
    // WM_NULL: the message the restart waits for, until it has gone on.
    HWND box = WaitForWindow(program->Id(), "Is not found", [&] { program->Post(WM_NULL); });
    ASSERT_NE(nullptr, box);
    program->PostCommand(2); // Exit
    EXPECT_TRUE(program->WaitForExit());
}

TEST_F(FakeEngineBinding, AtMostOneEngineRunsWhenARestartMeetsTheOnOffCommand) {
    StartProgram();
    engine->createDelayMs = 100; // a slow start widens the window for an overlap
    for (int round = 0; round < 8; ++round) {
        if (engine->open == 0) {
            SwitchOn();
        }
        const LONG closes = engine->closes;
        engine->pendingCode = 2;
        // Not "none open": a restart that needs no message of ours can follow the close at once.
        ASSERT_TRUE(
            engine.WaitFor([closes](const FakeEngineState& s) { return s.closes == closes + 1; }));
        Sleep(static_cast<DWORD>(round * 7 % 40));
        program->PostCommand(kToggle); // also the message the restart waits for
        ASSERT_TRUE(program->HandledPosted());
        ASSERT_TRUE(engine.WaitForAnswers());
        ASSERT_LE(engine->maxOpen, 1) << "round " << round;

        // The program's idea of the lens matches the engine's: On/Off flips it.
        const LONG open = engine->open;
        ASSERT_TRUE(program->RunCommand(kToggle));
        EXPECT_EQ(open == 0 ? 1 : 0, engine->open) << "round " << round;
    }
}

// A held On/Off key posts a switch every 20 ms or so while each switch holds the main thread (a
// lens fading out, here a start held by the test): the switches queued meanwhile are taken
// together, the lens ends in the state their number gives, and Exit behind them is handled.
TEST_F(FakeEngineBinding, QueuedOnOffSwitchesAreTakenTogetherAndEndInTheStateTheirNumberGives) {
    engine->brightness = 1500; // no raise at lens-up: brightness calls come from Brighter only
    for (const int switches : {60, 61}) {
        SCOPED_TRACE(switches);
        StartProgram();
        const LONG creates = engine->creates;
        const LONG calls = engine->brightnessCalls;
        engine->holdCreates = 1;
        program->PostCommand(kToggle);
        ASSERT_TRUE(engine.WaitFor(
            [creates](const FakeEngineState& s) { return s.creates == creates + 1; }));
        for (int i = 1; i < switches; ++i) {
            program->PostCommand(kToggle);
        }
        program->PostCommand(9006); // Brighter: calls the engine only while the lens is on
        program->PostCommand(2);    // Exit
        engine->holdCreates = 0;
        DWORD code = 1;
        EXPECT_TRUE(program->WaitForExit(&code));
        EXPECT_EQ(0u, code);
        EXPECT_EQ(creates + 1, engine->creates) << "one start for all the switches";
        EXPECT_EQ(calls + switches % 2, engine->brightnessCalls) << "on after an odd number";
    }
}

TEST_F(FakeEngineBinding, ALensWiderThanTheScreenRunsClampedAndIsRestoredAfter) {
    SettingsRecord settings = FirstRunSettings();
    settings.engine.lensWidth = 4000;
    StartProgram(settings);
    const uint32_t screenWidth = static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN));
    SwitchOn();
    EXPECT_EQ(screenWidth, engine->starts[0].lensWidth);
    EXPECT_EQ(128u, engine->starts[0].lensHeight);
    EXPECT_EQ(screenWidth / 2, engine->starts[0].sourceWidth);
    ASSERT_TRUE(program->RunCommand(kToggle));
    const SettingsRecord after = Record();
    EXPECT_EQ(4000u, after.engine.lensWidth);
    EXPECT_EQ(2000u, after.engine.sourceWidth);
    EXPECT_EQ(64u, after.engine.sourceHeight);
}

} // namespace
