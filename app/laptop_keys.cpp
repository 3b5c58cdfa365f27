#include "laptop_keys.h"

#include "engine_binding.h"
#include "hotkey_defaults.h"
#include "hotkeys.h"
#include "program_state.h"
#include "settings_dialog.h"
#include "settings_file.h"

bool UseLaptopKeys() {
    uint32_t keys[kHotKeySlotCount];
    for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
        keys[slot] = LaptopHotKey(slot);
    }
    const int onOff = TakeHotKeySet(mainWindow, keys, LensIsOn());
    ShowHotKeysInOpenSettings();

    SettingsRecord record = settings;
    if (SettingsStored() && LoadSettings(&record) == 0) {
        record = settings; // the file went bad meanwhile: the settings in use are the user's
    }
    StampSettingsHeader(&record);
    for (int slot = 0; slot < kHotKeySlotCount; ++slot) {
        record.hotKeys[slot] = settings.hotKeys[slot];
    }
    return SaveSettings(record) != 0 && onOff != 0;
}
