// The filter key and the level shown, through the real program and engine: the shipped filters
// installed switched off, the key pressed in the X server, the lens never copying itself.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lens_readback.h"
#include "pixel_filters.h"
#include "screen_pattern.h"
#include "test_support.h"
#include "vexlume_process.h"

namespace {

enum : unsigned { kToggle = 8002, kZoomIn = 9001, kCapture = 9005 };
constexpr RECT kPicture = {300, 300, 460, 420};
constexpr POINT kOverPicture = {380, 360};
const char* const kShipped[] = {"Grayscale", "Invert Colours", "Invert Lightness",
                                "Yellow on Black"};

std::string OptionsFile() {
    return PluginFolder() + "\\..\\options.ini";
}

// Presses keys where Wine's keyboard lives, in the X server, so that they reach hot keys. (Wine
// cannot wait for the X tool, a program of the build machine; the caller waits for the effect.)
void PressKeys(const std::string& keys) {
    std::string command = "Z:\\usr\\bin\\xdotool key " + keys;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &started));
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
}

class FilterKey : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        DeleteFileA(OptionsFile().c_str());
        for (const char* name : kShipped) {
            ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\plugins\\" + name + ".dll").c_str(),
                                  (PluginFolder() + "\\" + name + ".lib").c_str(), FALSE));
        }
        SettingsRecord settings = FirstRunSettings();
        settings.engine.displayMode = 2;
        settings.engine.frameWait = 10;
        settings.sound = 0;
        WriteSettingsFile(settings);
        ASSERT_TRUE(pattern.WaitUntilShown());
        program = std::make_unique<VexlumeProcess>(copy.Program());
        ASSERT_NE(nullptr, program->WaitForMainWindow());
        SetCursorPos(kOverPicture.x, kOverPicture.y);
        Sleep(200); // Wine's other threads may read the old place for about 100 ms
        ASSERT_TRUE(program->RunCommand(kToggle));
        ASSERT_TRUE(WaitForLensAt(LensAround(kOverPicture.x, kOverPicture.y)));
    }
    // The lens image, opaque, from the frame after the one under way (begun before a change).
    std::vector<uint32_t> CopyOfTheLens() {
        EXPECT_TRUE(program->RunCommand(kCapture));
        EXPECT_TRUE(program->RunCommand(kCapture));
        ClipboardImage copy;
        EXPECT_TRUE(ReadClipboardElsewhere(&copy));
        for (uint32_t& pixel : copy.pixels) {
            pixel |= 0xFF000000u;
        }
        return copy.pixels;
    }

    PatternWindow pattern{kPicture.left, kPicture.top, 160, 120, DetailPattern(160, 120, 7)};
    ProgramCopy copy{EngineBeside::Real};
    std::unique_ptr<VexlumeProcess> program;
};

// Each filter is checked on the lens image without a filter, the picture. (Under Wine that image
// is opaque black: a window of another process has no content for the lens in "Show one window"
// mode there. Black tells most filters apart; plugin_loop_test checks each on a picture.)
TEST_F(FilterKey, StepsThroughTheInstalledFiltersAtOnceWithoutARestartAndRemembersTheChoice) {
    const HWND lens = FindLensWindow();
    const std::vector<uint32_t> plain = CopyOfTheLens();
    ASSERT_EQ(plain.size(), 256u * 128u);
    const std::pair<const char*, void (*)(const PixelRows&)> steps[] = {
        {"Grayscale", Grayscale},
        {"Invert Colours", InvertColours},
        {"Invert Lightness", InvertLightness},
        {"Yellow on Black", YellowOnBlack},
        {"", nullptr}};
    for (const auto& [name, filter] : steps) {
        SCOPED_TRACE(name);
        PressKeys("ctrl+alt+i");
        const std::string line = std::string("filter=") + name + "\r\n";
        EXPECT_TRUE(
            WaitUntil([&] { return FileContent(OptionsFile()).find(line) != std::string::npos; }));
        std::vector<uint32_t> expected = plain;
        if (filter != nullptr) {
            filter(PixelRows{reinterpret_cast<uint8_t*>(expected.data()), 256 * 4, 256, 128});
        }
        EXPECT_TRUE(expected == CopyOfTheLens()) << "the lens shows the filtered picture";
        EXPECT_EQ(lens, FindLensWindow()) << "the same lens window: no restart";
    }
    for (const char* name : kShipped) {
        EXPECT_NE("(missing)", FileContent(PluginFolder() + "\\" + name + ".lib")) << "renamed";
    }
}

// The box of the level in the 256 x 128 lens's top-left corner: its border's top row white, and
// black between the border and the text.
bool LevelShown() {
    const RECT lens = LensAround(kOverPicture.x, kOverPicture.y);
    const std::vector<uint32_t> corner = ReadScreen(lens.left, lens.top, 48, 16);
    for (int x = 8; x < 48; ++x) {
        if (corner[6 * 48 + x] != 0xFFFFFFu || corner[(8 + x % 6) * 48 + 8 + x / 8] != 0) {
            return false;
        }
    }
    return true;
}

TEST_F(FilterKey, AZoomStepShowsTheNewZoomInTheLensCornerForAboutASecond) {
    EXPECT_FALSE(LevelShown());
    ASSERT_TRUE(program->RunCommand(kZoomIn));
    EXPECT_TRUE(WaitUntil(LevelShown)) << "shown after the step";
    EXPECT_TRUE(WaitUntil([] { return !LevelShown(); })) << "and gone after a while";
}

} // namespace
