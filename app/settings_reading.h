// The settings dialog "SETUP" as a screen reader and the Tab key meet it: its parts in reading
// order (the hot keys and the display mode on the left, then the right side from top to bottom,
// OK and Cancel last), each label just before the control it names, and the accessible name of
// every control whose own text does not name it. The template keeps its order; the dialog is put
// in this order when it opens. No Windows headers.
#pragma once

enum class DialogPart {
    kControl, // found by its identifier
    kLabel,   // a static text, found by its text
    kGroup,   // a group box, found by its text
};

struct ReadingItem {
    DialogPart part;
    int id;           // kControl: the control's identifier
    const char* text; // kLabel, kGroup: the text shown; kControl: its accessible name, or null
                      // for one named by the label just before it, or by its own text
};

// The items from first to last.
const ReadingItem* SettingsReadingOrder(int* count);

// The accessible name of control `id`: its label's text, or null for a control that names
// itself (a button or a check box) and for an identifier the dialog does not have.
const char* SettingsControlName(int id);
