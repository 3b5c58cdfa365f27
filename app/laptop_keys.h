// The second default key set, for keyboards without a numeric keypad (LaptopHotKey), which the
// user puts into the eleven hot-key slots from the Options dialog.
#pragma once

// Puts the set into the slots and registers it at once (the On/Off key keeps its previous key when
// another program holds the new one), shows it in an open settings dialog, and saves it in the
// settings file beside what the file holds; without a file of the user's yet, beside the settings
// in use. Returns true when the set is in use and saved.
bool UseLaptopKeys();
