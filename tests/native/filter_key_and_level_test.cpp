// The filter key's steps and the remembered choice, and the level shown after a change: its
// texts, when it shows and where it lies in the image.
#include <gtest/gtest.h>

#include <string>
#include <utility>
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
    // A filter gone since steps to the one that would have followed it.
    const std::pair<const char*, const char*> steps[] = {{"", "grayscale"},
                                                         {"GRAYSCALE", "Invert Colours"},
                                                         {"Yellow on Black", ""},
                                                         {"Blur", "grayscale"},
                                                         {"Invert Dark", "Invert Lightness"}};
    for (const auto& step : steps) {
        EXPECT_EQ(NextFilter(installed, step.first), step.second) << step.first;
    }
}

TEST(FilterKey, TheChoiceIsKeptByNameAndAnythingButAPlainFileNameIsNone) {
    const std::string longest(251, 'x'); // with ".dll" the longest name that fits
    const std::pair<std::string, std::string> cases[] = {
        {"filter = Invert Lightness \r\n", "Invert Lightness"},
        {"filter=\n", ""},
        {"filter=..\\..\\Windows\\evil\n", ""},
        {"filter=C:evil\n", ""},
        {"filter=a/b\n", ""},
        {"filter=" + longest, longest},
        {"filter=x" + longest, ""}};
    for (const auto& [file, expected] : cases) {
        const ProgramOptions read = ReadProgramOptions(ParseOptionsText(file));
        EXPECT_EQ(std::string(read.engine.filterName), expected) << file;
        OptionsText written;
        WriteFilterChoice(written, read);
        EXPECT_EQ(std::string(ReadProgramOptions(written).engine.filterName), expected);
    }
}

TEST(LevelText, SaysTheNewValueInEnglishAndInRussian) {
    const std::pair<std::string, const char*> cases[] = {
        {ZoomText(256, 128, false), "Zoom 2.0x"},
        {ZoomText(256, 102, true), "\xCC\xE0\xF1\xF8\xF2\xE0\xE1 2,5x"},
        {ZoomText(256, 0, false), "Zoom 1.0x"},
        {SizeText(512, 256, false), "Size 512 x 256"},
        {BrightnessText(1195, false), "Brightness 120 %"},
        {BrightnessText(900, true), "\xDF\xF0\xEA\xEE\xF1\xF2\xFC 90 %"},
        {FilterText("", false), "No filter"},
        {FilterText("Grayscale", true), "Grayscale"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.first, c.second);
    }
}

TEST(LevelClock, ANewLevelShowsForASecondFromTheFrameThatHasIt) {
    LevelClock clock;
    EXPECT_FALSE(StartLevel(&clock, 0, 5000)) << "no change yet";
    EXPECT_TRUE(StartLevel(&clock, 5000, 5400)) << "a frame a while after the change";
    EXPECT_TRUE(LevelShowing(&clock, 6399));
    EXPECT_FALSE(StartLevel(&clock, 5000, 6000)) << "the same change again";
    EXPECT_FALSE(LevelShowing(&clock, 6400));
    EXPECT_FALSE(LevelShowing(&clock, 6401)) << "gone for good";
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
        EXPECT_EQ((std::vector<int>{a.x, a.y, a.width, a.height}),
                  (std::vector<int>{c.area.x, c.area.y, c.area.width, c.area.height}));
    }
    // Letters a fifth of the lens high, within 12 to 96 pixels.
    EXPECT_EQ(LayoutLevel(256, 128).fontHeight, 25);
    EXPECT_EQ(LayoutLevel(1280, 1024).fontHeight, 96);
}

} // namespace
