#include "menu_texts.h"

#include "system_language.h"

namespace {

const TrayMenuTexts kEnglish = {
    "Visit Website", "About...", "Settings...", "Options...", "Smooth image",
    "View",          "Plug-Ins", "Show / Hide", "Exit",
};

// Code page 1251 bytes, kept as escapes so that this file stays ASCII.
const TrayMenuTexts kRussian = {
    "\xCF\xEE\xF1\xE5\xF2\xE8\xF2\xFC \xF1\xE0\xE9\xF2", // Visit Website
    "\xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5...",      // About...
    "\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8",              // Settings
    "\xCF\xE0\xF0\xE0\xEC\xE5\xF2\xF0\xFB...",           // Options...
    "\xD1\xE3\xEB\xE0\xE6\xE5\xED\xED\xEE\xE5 "
    "\xE8\xE7\xEE\xE1\xF0\xE0\xE6\xE5\xED\xE8\xE5",                // Smooth image
    "\xC2\xE8\xE4",                                                // View
    "Plug-Ins",                                                    // Plug-Ins
    "\xCF\xEE\xEA\xE0\xE7\xE0\xF2\xFC / \xD1\xEA\xF0\xFB\xF2\xFC", // Show / Hide
    "\xC2\xFB\xF5\xEE\xE4",                                        // Exit
};

} // namespace

const char kGetMorePluginsText[] = "Get more Plug-Ins...";

const TrayMenuTexts& TrayMenuTextsFor(unsigned systemLanguage) {
    return UsesRussianTexts(systemLanguage) ? kRussian : kEnglish;
}
