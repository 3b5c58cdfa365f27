#include "hotkey_rules.h"

#include <gtest/gtest.h>

namespace {

constexpr unsigned kModAlt = 0x1, kModControl = 0x2, kModShift = 0x4, kModWin = 0x8;

TEST(HotKeyModifiers, ConvertHotKeyControlFlagsToRegisterHotKeyModifiers) {
    EXPECT_EQ(0u, HotKeyModifiers(0x0065)) << "Num 5 alone";
    EXPECT_EQ(kModAlt | kModControl, HotKeyModifiers(0x060C)) << "Ctrl+Alt+Clear";
    EXPECT_EQ(kModShift, HotKeyModifiers(0x0146)) << "Shift+F";
    EXPECT_EQ(kModAlt | kModControl | kModWin, HotKeyModifiers(0x0E26))
        << "an extended key such as the cursor block's Up needs the Windows key as well";
    EXPECT_EQ(kModAlt | kModControl | kModShift | kModWin, HotKeyModifiers(0x0F41));
    EXPECT_EQ(0x26u, HotKeyVirtualKey(0x0E26));
    EXPECT_EQ(0x65u, HotKeyVirtualKey(0x0065));
}

TEST(HotKeyRouting, EachSlotRunsItsCommand) {
    uint32_t slots[kHotKeySlotCount] = {};
    for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
        slots[slot] = 0x0600 | static_cast<uint32_t>(0x60 + slot);
    }
    EXPECT_EQ(8002u, HotKeyCommand(slots, 0x60));
    for (int slot = 1; slot < kHotKeySlotCount; ++slot) {
        EXPECT_EQ(9000u + static_cast<unsigned>(slot),
                  HotKeyCommand(slots, 0x60 + static_cast<unsigned>(slot)));
    }
    EXPECT_EQ(0u, HotKeyCommand(slots, 0x41)) << "a key of no slot does nothing";
}

TEST(HotKeyRouting, TheFirstSlotWithTheKeyWinsWhateverTheModifiers) {
    uint32_t slots[kHotKeySlotCount] = {};
    slots[3] = 0x0646; // Ctrl+Alt+F: Size+
    slots[4] = 0x0146; // Shift+F: Size-
    EXPECT_EQ(9003u, HotKeyCommand(slots, 'F'));
}

TEST(HotKeyRouting, EmptySlotsNeverMatch) {
    uint32_t slots[kHotKeySlotCount] = {};
    slots[7] = 0x0061;
    EXPECT_EQ(0u, HotKeyCommand(slots, 0)) << "a key code of 0 must not run On/Off";
    EXPECT_EQ(9007u, HotKeyCommand(slots, 0x61));
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
