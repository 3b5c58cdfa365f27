// The options file's text, its typed options and the hot keys written in it; and the engine's
// reading of the options record a caller of any age hands over.
#include <gtest/gtest.h>

#include <string>

#include "engine_options_reading.h"
#include "hotkey_defaults.h"
#include "hotkey_text.h"
#include "program_options.h"
#include "settings_record.h"

namespace {

struct ReadCase {
    std::string file;
    uint32_t view, tracking, dockEdge, dockPercent, viewKey;
};

TEST(OptionsFile, EachOptionComesFromItsLastGoodLineOrItsDefault) {
    const ProgramOptions d = DefaultProgramOptions();
    const ReadCase cases[] = {
        {"", d.engine.view, d.engine.tracking, d.engine.dockEdge, d.engine.dockPercent, d.viewKey},
        {"view=docked\ndock_edge=left\ndock_size_percent=40\nview_hotkey=Shift+F5\n", kViewDocked,
         d.engine.tracking, kDockLeft, 40, 0x174},
        {"  VIEW =  FullScreen \r\nfullscreen_tracking=push", kViewFullScreen, kTrackPush,
         d.engine.dockEdge, d.engine.dockPercent, d.viewKey},
        // A bad value leaves its option at the default and every other option as set.
        {"view=sideways\ndock_size_percent=51\ndock_edge=bottom\nview_hotkey=Ctrl+Banana\n",
         d.engine.view, d.engine.tracking, kDockBottom, d.engine.dockPercent, d.viewKey},
        {"dock_size_percent=-20\ndock_size_percent=9\ndock_size_percent=4294967306\n",
         d.engine.view, d.engine.tracking, d.engine.dockEdge, d.engine.dockPercent, d.viewKey},
        // Comments, unknown keys and lines without "=" set nothing; the last setter wins.
        {"# view=docked\n;view=docked\nview docked\nmystery=1\nview=docked\nview=lens\n", kViewLens,
         d.engine.tracking, d.engine.dockEdge, d.engine.dockPercent, d.viewKey},
        {"view_hotkey=none\n", d.engine.view, d.engine.tracking, d.engine.dockEdge,
         d.engine.dockPercent, 0},
        {std::string("view=docked\0\xff\n", 14), d.engine.view, d.engine.tracking,
         d.engine.dockEdge, d.engine.dockPercent, d.viewKey},
    };
    for (const ReadCase& c : cases) {
        const ProgramOptions o = ReadProgramOptions(ParseOptionsText(c.file));
        EXPECT_EQ(o.engine.view, c.view) << c.file;
        EXPECT_EQ(o.engine.tracking, c.tracking) << c.file;
        EXPECT_EQ(o.engine.dockEdge, c.dockEdge) << c.file;
        EXPECT_EQ(o.engine.dockPercent, c.dockPercent) << c.file;
        EXPECT_EQ(o.viewKey, c.viewKey) << c.file;
    }
}

TEST(OptionsFile, AChangedOptionRewritesOnlyItsOwnLine) {
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"# mine\r\nview = lens   # not a comment\r\nzzz=1\nview=lens", "# mine\r\n"
                                                                        "view = lens   # not a "
                                                                        "comment\r\nzzz=1\n"
                                                                        "view=docked"},
        {"; kept\nother=x", "; kept\nother=x\r\nview=docked\r\n"},
        {"View =\tlens\n", "View =\tdocked\n"},
    };
    ProgramOptions options = DefaultProgramOptions();
    options.engine.view = kViewDocked;
    for (const Case& c : cases) {
        OptionsText text = ParseOptionsText(c.before);
        EXPECT_EQ(OptionsTextBytes(text), c.before);
        WriteProgramOption(text, options, kOptionView);
        EXPECT_EQ(OptionsTextBytes(text), c.after);
    }
    // A new file says what it is, and reads back as written.
    OptionsText fresh;
    options.viewKey = 0x66A;
    WriteProgramOption(fresh, options, kOptionViewKey);
    EXPECT_EQ(fresh.lines.front()[0], '#');
    EXPECT_EQ(ReadProgramOptions(fresh).viewKey, 0x66Au);
    // The wheel's options by their names in the file; a value they cannot take keeps the default.
    const ProgramOptions read =
        ReadProgramOptions(ParseOptionsText("wheel_zoom_keys = Ctrl+Alt+Shift\nwheel_zoom=2"));
    EXPECT_EQ(read.wheelKeys, 3u);
    EXPECT_EQ(read.wheelZoom, 1u);
}

// Sharp unless chosen; the switch's key is one no default key set and no other option key uses.
TEST(OptionsFile, SmoothIsASwitchOffByDefaultWithAKeyOfItsOwn) {
    const ProgramOptions d = DefaultProgramOptions();
    EXPECT_EQ(d.engine.smooth, 0u);
    EXPECT_NE(d.smoothKey, d.viewKey);
    for (int slot = 0; slot < 2 * kHotKeySlotCount; ++slot) {
        EXPECT_NE(d.smoothKey, FirstRunHotKey(slot / 2, slot % 2 == 0)) << slot;
    }
    const ProgramOptions o = ReadProgramOptions(ParseOptionsText("smooth = ON\nsmooth_hotkey=F9"));
    EXPECT_EQ(o.engine.smooth, 1u);
    EXPECT_EQ(o.smoothKey, 0x78u);
    EXPECT_EQ(ReadProgramOptions(ParseOptionsText("smooth=yes")).engine.smooth, 0u);
}

TEST(HotKeyText, ReadsWhatItWritesAndRefusesTheRest) {
    const struct {
        uint32_t value;
        const char* text;
    } written[] = {{0, "none"},     {0x64D, "Ctrl+Alt+M"},    {0x174, "Shift+F5"},
                   {0x065, "Num5"}, {0x66B, "Ctrl+Alt+Num+"}, {0x72D, "Ctrl+Alt+Shift+Insert"},
                   {0x030, "0"},    {0x087, "F24"},           {0x2BA, "Ctrl+KeyBA"}};
    for (const auto& w : written) {
        EXPECT_EQ(HotKeyText(w.value), w.text);
        uint32_t parsed = 1;
        EXPECT_TRUE(ParseHotKeyText(w.text, &parsed)) << w.text;
        EXPECT_EQ(parsed, w.value) << w.text;
    }
    uint32_t value = 0;
    EXPECT_TRUE(ParseHotKeyText(" alt + ctrl + m ", &value));
    EXPECT_EQ(value, 0x64Du);
    for (const char* bad : {"Ctrl+", "Ctrl+Ctrl+M", "M+Ctrl", "M+N", "F25", "Num10", "Key00",
                            "Ctrl+Alt+Banana", "+"}) {
        EXPECT_FALSE(ParseHotKeyText(bad, &value)) << bad;
    }
}

TEST(EngineOptionsReading, ACallerOfAnyAgeGetsItsFieldsInRangeAndDefaultsBeyond) {
    const EngineOptions d = kDefaultEngineOptions;
    EXPECT_EQ(ReadEngineOptions(nullptr).view, d.view);
    // Each live field with a value it may take and one just beyond its range.
    const struct {
        uint32_t EngineOptions::*field;
        uint32_t taken;
        uint32_t beyond;
    } fields[] = {
        {&EngineOptions::view, kViewDocked, kViewCount},
        {&EngineOptions::tracking, kTrackPush, kTrackingCount},
        {&EngineOptions::dockEdge, kDockRight, kDockEdgeCount},
        {&EngineOptions::dockPercent, 50, kMinDockPercent - 1},
        {&EngineOptions::fullScreenZoom, 300, kMinViewZoom - 1},
        {&EngineOptions::dockZoom, 1000, kMaxViewZoom + 1},
        {&EngineOptions::smooth, 1, 2},
    };
    EngineOptions taken = d;
    EngineOptions beyond = d;
    for (const auto& f : fields) {
        taken.*f.field = f.taken;
        beyond.*f.field = f.beyond;
    }
    EngineOptions older = taken;
    older.size = 8; // knows the view only
    for (const auto& f : fields) {
        EXPECT_EQ(ReadEngineOptions(&taken).*f.field, f.taken);
        EXPECT_EQ(ReadEngineOptions(&beyond).*f.field, d.*f.field);
        const bool known = f.field == &EngineOptions::view;
        EXPECT_EQ(ReadEngineOptions(&older).*f.field, known ? f.taken : d.*f.field);
    }
}

} // namespace
