#include "hotkey_rules.h"
#include "wheel_rules.h"

#include <gtest/gtest.h>

namespace {

constexpr unsigned kModAlt = 0x1, kModControl = 0x2, kModShift = 0x4;

TEST(HotKeyModifiers, ConvertHotKeyControlFlagsToRegisterHotKeyModifiers) {
    EXPECT_EQ(0u, HotKeyModifiers(0x0065)) << "Num 5 alone";
    EXPECT_EQ(kModAlt | kModControl, HotKeyModifiers(0x060C)) << "Ctrl+Alt+Clear";
    EXPECT_EQ(kModShift, HotKeyModifiers(0x0146)) << "Shift+F";
    EXPECT_EQ(kModAlt | kModControl, HotKeyModifiers(0x0E26))
        << "the arrow block's Up works as typed, without the Windows key";
    EXPECT_EQ(kModAlt | kModControl | kModShift, HotKeyModifiers(0x0F41));
    EXPECT_EQ(0x26u, HotKeyVirtualKey(0x0E26));
    EXPECT_EQ(0x65u, HotKeyVirtualKey(0x0065));
}

TEST(HotKeyRouting, EachSlotRunsItsCommand) {
    uint32_t slots[kHotKeySlotCount] = {};
    for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
        slots[slot] = 0x0600 | static_cast<uint32_t>(0x60 + slot);
    }
    EXPECT_EQ(8002u, HotKeyCommand(slots, kModAlt | kModControl, 0x60));
    for (int slot = 1; slot < kHotKeySlotCount; ++slot) {
        EXPECT_EQ(9000u + static_cast<unsigned>(slot),
                  HotKeyCommand(slots, kModAlt | kModControl, 0x60 + static_cast<unsigned>(slot)));
    }
    EXPECT_EQ(0u, HotKeyCommand(slots, kModAlt | kModControl, 0x41)) << "a key of no slot";
}

TEST(HotKeyRouting, TheKeyAndItsModifiersTogetherChooseTheSlot) {
    uint32_t slots[kHotKeySlotCount] = {};
    slots[3] = 0x0646; // Ctrl+Alt+F: Size+
    slots[4] = 0x0146; // Shift+F: Size-
    slots[7] = 0x0061; // Num 1 alone
    struct Case {
        unsigned modifiers;
        unsigned key;
        unsigned command;
    };
    for (const Case& c :
         {Case{kModAlt | kModControl, 'F', 9003}, Case{kModShift, 'F', 9004}, Case{0, 'F', 0},
          Case{0, 0x61, 9007}, Case{kModShift, 0x61, 0}, Case{0, 0, 0}}) {
        EXPECT_EQ(c.command, HotKeyCommand(slots, c.modifiers, c.key))
            << "modifiers " << c.modifiers << " key " << c.key;
    }
}

TEST(HotKeyAtoms, AreNamedAfterTheProductAndTheSlot) {
    char name[32];
    ASSERT_EQ(1, HotKeyAtomName(name, sizeof(name), 0));
    EXPECT_STREQ("Vexlume_Hot_Key_0", name);
    ASSERT_EQ(1, HotKeyAtomName(name, sizeof(name), 10));
    EXPECT_STREQ("Vexlume_Hot_Key_10", name);
    char tiny[8] = "x";
    EXPECT_EQ(0, HotKeyAtomName(tiny, sizeof(tiny), 10));
    EXPECT_STREQ("", tiny);
}

} // namespace

TEST(WheelZoom, ExactlyTheChosenModifiersHeldOnEitherSideZoomAndTheSystemHasTheLastWord) {
    ModifierTracker keys;
    TrackKey(&keys, 0xA2, true); // left Ctrl
    TrackKey(&keys, 0xA5, true); // right Alt
    EXPECT_TRUE(WheelZooms(HeldModifiers(keys), kWheelCtrlAlt));
    EXPECT_FALSE(WheelZooms(HeldModifiers(keys), kWheelCtrl)) << "Alt too is held";
    TrackKey(&keys, 0xA3, true);  // right Ctrl as well
    TrackKey(&keys, 0xA2, false); // left Ctrl let go: Ctrl still held
    TrackKey(&keys, 0x41, true);  // a letter changes nothing
    EXPECT_TRUE(WheelZooms(HeldModifiers(keys), kWheelCtrlAlt));
    TrackKey(&keys, 0x10, true); // Shift, as a source without sides sends it
    EXPECT_TRUE(WheelZooms(HeldModifiers(keys), kWheelCtrlAltShift));
    EXPECT_EQ(WheelModifiers(kWheelCtrlAlt), WheelModifiers(99)) << "an unknown choice";

    EXPECT_TRUE(ModifiersNeedCheck(keys, 5000)) << "never checked";
    ModifiersChecked(&keys, kHeldCtrl | kHeldShift, 5000); // Alt's key-up was never seen
    EXPECT_EQ(HeldModifiers(keys), kHeldCtrl | kHeldShift);
    EXPECT_FALSE(ModifiersNeedCheck(keys, 5999));
    EXPECT_TRUE(ModifiersNeedCheck(keys, 6000)) << "a second later";
    TrackKey(&keys, 0x12, true);
    EXPECT_FALSE(ModifiersNeedCheck(keys, 5001)) << "a key event within the second is trusted";
}

TEST(WheelZoom, WholeNotchesMakeStepsAndATurnBackStartsAfresh) {
    const struct {
        int32_t delta;
        int32_t steps;
    } turns[] = {{120, 1}, {360, 3}, {-120, -1}, {40, 0}, {40, 0},   {40, 1},
                 {100, 0}, {-60, 0}, {-60, -1},  {30, 0}, {-120, -1}};
    int32_t rest = 0;
    for (const auto& turn : turns) {
        EXPECT_EQ(TakeWheelSteps(&rest, turn.delta), turn.steps) << turn.delta;
    }
}
