// The filter key's steps and the remembered choice, and the level shown after a change: its
// texts, when it shows and where it lies in the image.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filter_cycle.h"
#include "level_rules.h"
#include "level_texts.h"
#include "program_options.h"

namespace {

TEST(FilterKey, StepsThroughNoFilterAndEachInstalledFilterInTheOrderOfTheirNames) {
    const std::vector<std::string> folder = {
        "Yellow on Black.lib", "grayscale.DLL", "Invert Colours.lib",  "Grayscale.lib",
        "notes.txt",           "xdll",          "Invert Lightness.dll"};
    const std::vector<std::string> installed = InstalledFilters(folder);
    EXPECT_EQ(installed, (std::vector<std::string>{"grayscale", "Invert Colours",
                                                   "Invert Lightness", "Yellow on Black"}));
    const struct {
        const char* current;
        const char* next;
    } steps[] = {{"", "grayscale"},
                 {"GRAYSCALE", "Invert Colours"},
                 {"Invert Colours", "Invert Lightness"},
                 {"Yellow on Black", ""},
                 {"Blur", "grayscale"},                // gone since: the one that followed it
                 {"Invert Dark", "Invert Lightness"}}; // likewise
    for (const auto& step : steps) {
        EXPECT_EQ(NextFilter(installed, step.current), step.next) << step.current;
    }
    EXPECT_EQ(NextFilter({}, "Grayscale"), "");
}

TEST(FilterKey, TheChoiceIsKeptByNameAndAnythingButAPlainFileNameIsNone) {
    const struct {
        std::string file;
        const char* chosen;
    } cases[] = {{"filter = Invert Lightness \r\n", "Invert Lightness"},
                 {"filter=\n", ""},
                 {"filter=..\\..\\Windows\\evil\n", ""},
                 {"filter=C:evil\n", ""},
                 {"filter=a/b\n", ""},
                 {"filter=" + std::string(251, 'x') + "\n", nullptr}, // the longest that fits
                 {"filter=" + std::string(252, 'x') + "\n", ""}};
    for (const auto& c : cases) {
        const ProgramOptions read = ReadProgramOptions(ParseOptionsText(c.file));
        const std::string expected = c.chosen != nullptr ? c.chosen : std::string(251, 'x');
        EXPECT_EQ(std::string(read.engine.filterName), expected) << c.file;
        OptionsText written;
        WriteFilterChoice(written, read);
        EXPECT_EQ(std::string(ReadProgramOptions(written).engine.filterName), expected);
    }
}

TEST(LevelText, SaysTheNewValueInEnglishAndInRussian) {
    const struct {
        std::string text;
        const char* english;
        const char* russian;
    } cases[] = {
        {ZoomText(256, 128, false), "Zoom 2.0x", nullptr},
        {ZoomText(256, 102, true), nullptr, "\xCC\xE0\xF1\xF8\xF2\xE0\xE1 2,5x"},
        {ZoomText(256, 0, false), "Zoom 1.0x", nullptr},
        {SizeText(512, 256, false), "Size 512 x 256", nullptr},
        {BrightnessText(1195, false), "Brightness 120 %", nullptr},
        {BrightnessText(900, true), nullptr, "\xDF\xF0\xEA\xEE\xF1\xF2\xFC 90 %"},
        {FilterText("", false), "No filter", nullptr},
        {FilterText("Grayscale", true), nullptr, "Grayscale"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, c.english != nullptr ? c.english : c.russian);
    }
}

TEST(LevelClock, ANewFreshLevelShowsForASecondFromTheFrameThatHasIt) {
    LevelClock clock;
    EXPECT_FALSE(StartLevel(&clock, 0, 5000)) << "no change yet";
    EXPECT_TRUE(StartLevel(&clock, 5000, 5400)) << "a lens restarted after its change";
    EXPECT_TRUE(LevelShowing(&clock, 6399));
    EXPECT_FALSE(StartLevel(&clock, 5000, 6000)) << "the same change again";
    EXPECT_FALSE(LevelShowing(&clock, 6400));
    EXPECT_FALSE(LevelShowing(&clock, 6401)) << "gone for good";
    EXPECT_FALSE(StartLevel(&clock, 6000, 6000 + kLevelFreshMs + 1)) << "a change long ago";
    EXPECT_FALSE(LevelShowing(&clock, 9001));
    EXPECT_TRUE(StartLevel(&clock, 0xFFFFFFF0u, 20)) << "across the tick count's wrap";
    EXPECT_TRUE(LevelShowing(&clock, 1019));
    EXPECT_FALSE(LevelShowing(&clock, 1020));
}

TEST(LevelPlace, TheBoxLiesInTheTopLeftCornerCutToTheImageWithWholePixelPairs) {
    const struct {
        int width, height, imageWidth, imageHeight, margin;
        LevelArea area;
    } cases[] = {
        {101, 41, 256, 128, 7, {6, 7, 100, 41}},   {300, 41, 256, 128, 6, {6, 6, 250, 41}},
        {100, 200, 256, 128, 6, {6, 6, 100, 122}}, {100, 40, 6, 128, 6, {6, 6, 0, 0}},
        {1, 40, 256, 128, 6, {6, 6, 0, 0}},
    };
    for (const auto& c : cases) {
        const LevelArea a = PlaceLevel(c.width, c.height, c.imageWidth, c.imageHeight, c.margin);
        EXPECT_EQ(a.x, c.area.x);
        EXPECT_EQ(a.y, c.area.y);
        EXPECT_EQ(a.width, c.area.width) << c.width << " in " << c.imageWidth;
        EXPECT_EQ(a.height, c.area.height) << c.height << " in " << c.imageHeight;
    }
    // Large for the lens, but never more than a fifth of its height.
    EXPECT_EQ(LayoutLevel(256, 128).fontHeight, 25);
    EXPECT_EQ(LayoutLevel(1280, 1024).fontHeight, 96);
    EXPECT_EQ(LayoutLevel(32, 32).fontHeight, 12);
}

} // namespace
