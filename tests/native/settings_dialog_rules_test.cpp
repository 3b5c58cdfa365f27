// The settings dialog's rules without the dialog: how the size list follows the typed size, the
// lens size taken from the typed text, the slider labels, the first-run hot keys and the text of
// the Run entry.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "autostart_rules.h"
#include "hotkey_defaults.h"
#include "hotkey_rules.h"
#include "settings_form.h"

namespace {

constexpr ScreenSize kScreen = {1280, 1024};
constexpr int kCustom = 0, kSmall = 1, kDefault = 2, kBig = 3, kLine = 4, kWideLine = 5, kFull = 6;

TEST(SizeList, TheScreenEntriesNameTheScreenAndEachEntryFindsItsOwnSize) {
    char text[64];
    ASSERT_EQ(1, PresetText(kLine, kScreen, text, sizeof(text)));
    EXPECT_STREQ("Line (1280x128)", text);
    ASSERT_EQ(1, PresetText(kFull, kScreen, text, sizeof(text)));
    EXPECT_STREQ("Full Screen (1280x1024)", text);
    for (int index = kSmall; index <= kFull; ++index) {
        uint32_t width = 0, height = 0;
        ASSERT_EQ(1, PresetSize(index, kScreen, &width, &height));
        EXPECT_EQ(index, MatchPreset(width, height, kScreen)) << index;
    }
    char small[8] = "x";
    EXPECT_EQ(0, PresetText(kFull, kScreen, small, sizeof(small))) << "a cut text is no text";
    EXPECT_STREQ("", small);
    EXPECT_EQ(0, PresetText(kFull + 1, kScreen, text, sizeof(text)));
    uint32_t w = 7, h = 7;
    EXPECT_EQ(0, PresetSize(kCustom, kScreen, &w, &h));
}

TEST(SizeList, FollowsTheTypedSize) {
    const struct {
        int shown;
        SizeField changed;
        uint32_t width, height;
        int expected;
    } cases[] = {
        {kLine, SizeField::Height, 1280, 129, kCustom},  // the line preset left
        {kCustom, SizeField::Height, 1280, 128, kLine},  // and found again
        {kCustom, SizeField::Width, 256, 128, kDefault}, // "Custom" gives way to a match
        {kCustom, SizeField::Width, 300, 128, kCustom},
        {kCustom, SizeField::Width, 1280, 1024, kFull},
        {kLine, SizeField::Width, 1280, 999, kLine}, // only the changed side is compared
        {kDefault, SizeField::Width, 257, 128, kCustom},
        {kWideLine, SizeField::Height, 1280, 256, kWideLine},
        {-1, SizeField::Width, 128, 64, kSmall}, // no selection behaves as "Custom"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, PresetAfterEdit(c.shown, c.changed, c.width, c.height, kScreen))
            << c.shown << " " << c.width << "x" << c.height;
    }
    EXPECT_EQ(kBig, MatchPreset(512, 256, {512, 256})) << "the first match wins";
}

TEST(LensSize, TypedTextIsTakenEvenAndWithinTheScreen) {
    const struct {
        const char* text;
        uint32_t screenSide;
        uint32_t expected;
    } cases[] = {
        {"33", 1280, 34},           {"10", 1280, 32},     {"5000", 1280, 1280},
        {" 256", 1280, 256},        {"", 1280, 32},       {"99999999999999999999", 1280, 1280},
        {"4294967295", 1280, 1280}, {"1281", 1281, 1280}, // an odd screen side: down, not off it
        {"31", 1280, 32},           {"12x4", 1280, 32},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, LensSideFromTyped(TypedNumber(c.text), c.screenSide)) << c.text;
    }
    EXPECT_EQ(UINT32_MAX, TypedNumber("4294967296"));
    EXPECT_EQ(4294967295u, TypedNumber("4294967295"));
    EXPECT_EQ(20u, TypedNumber("  20"));
}

TEST(SliderLabels, ShowTheZoomAndTheTransparencyPercentage) {
    char text[16];
    for (const auto& c : {std::make_pair(2.0f, "2.0"), std::make_pair(2.5f, "2.5"),
                          std::make_pair(10.0f, "10.0"), std::make_pair(1.0f, "1.0")}) {
        ZoomLabel(c.first, text, sizeof(text));
        EXPECT_STREQ(c.second, text);
    }
    EXPECT_EQ(4, ZoomSliderPosition(2.0f));
    EXPECT_FLOAT_EQ(2.5f, ZoomAtSliderPosition(5)) << "one step right of 2.0";
    EXPECT_FLOAT_EQ(10.0f, ZoomAtSliderPosition(60000)) << "held at the slider's end";
    EXPECT_FLOAT_EQ(1.0f, ZoomAtSliderPosition(0));
    EXPECT_EQ(255u, TransparencyAtSliderPosition(300));
    EXPECT_EQ(0u, TransparencyAtSliderPosition(-5));

    const struct {
        uint32_t level;
        const char* percent;
    } levels[] = {{128, "50"}, {0, "0"},     {1, "1"},           {2, "1"},
                  {3, "1"},    {255, "100"}, {UINT32_MAX, "100"}};
    for (const auto& c : levels) {
        TransparencyLabel(c.level, text, sizeof(text));
        EXPECT_STREQ(c.percent, text) << c.level;
    }
}

TEST(FirstRunHotKeys, EachSetGivesEverySlotAKeyOfItsOwnOnTheKeypad) {
    for (bool numLockOn : {true, false}) {
        uint32_t slots[kHotKeySlotCount];
        for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
            slots[slot] = FirstRunHotKey(slot, numLockOn);
            EXPECT_EQ(numLockOn ? 0u : 0x06u, slots[slot] >> 8)
                << "plain keys, or Ctrl+Alt with NumLock off; slot " << slot;
        }
        for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
            EXPECT_EQ(HotKeySlotCommand(slot), HotKeyCommand(slots, HotKeyModifiers(slots[slot]),
                                                             HotKeyVirtualKey(slots[slot])))
                << "the key reaches its own slot; slot " << slot << " numlock " << numLockOn;
        }
    }
    EXPECT_EQ(0x0065u, FirstRunHotKey(0, true)) << "Num 5";
    EXPECT_EQ(0x060Cu, FirstRunHotKey(0, false)) << "the same key without NumLock: Clear";
    EXPECT_EQ(0u, FirstRunHotKey(kHotKeySlotCount, true));
}

TEST(RunEntry, QuotesTheProgramPathAndAddsTheDelayedStartLetter) {
    char data[kRunEntryCapacity];
    EXPECT_EQ(19u, RunEntryData(data, sizeof(data), "D:\\Apps\\vx.exe"));
    EXPECT_STREQ("\"D:\\Apps\\vx.exe\" /a", data);

    const std::string longest(259, 'p'); // the longest path the system hands out
    EXPECT_EQ(264u, RunEntryData(data, sizeof(data), longest.c_str()));
    EXPECT_EQ("\"" + longest + "\" /a", data);

    char small[19];
    std::memset(small, 'x', sizeof(small));
    EXPECT_EQ(0u, RunEntryData(small, sizeof(small), "D:\\Apps\\vx.exe")) << "no room for the end";
    EXPECT_STREQ("", small);
    EXPECT_EQ(0u, RunEntryData(data, sizeof(data), ""));
}

} // namespace
