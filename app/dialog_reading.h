// The settings dialog made for screen readers and the keyboard: its parts put in reading order
// when it opens (settings_reading.h), so that the Tab key and a screen reader meet them in that
// order and each label comes just before its control, and every control given the accessible
// name of its label through the system's accessibility annotation service.
#pragma once

#include <windows.h>

// What the dialog holds while its names are set: COM on its thread.
struct AccessibleNames {
    bool com = false;
};

// At WM_INITDIALOG, once every control exists (the up-down arrows too, which take their buddy's
// name). The focus stays where it was.
AccessibleNames ArrangeSettingsForReading(HWND dialog);

// At WM_DESTROY: the names are taken back, as the annotation service asks.
void ForgetSettingsNames(HWND dialog, AccessibleNames* names);
