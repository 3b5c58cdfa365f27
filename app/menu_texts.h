// The texts of the tray menu in English and in Russian (code page 1251, for the ANSI menu
// functions). No Windows headers.
#pragma once

struct TrayMenuTexts {
    const char* visitWebsite;
    const char* about;
    const char* settings;
    const char* options;
    const char* smoothImage;
    const char* view; // the View submenu: the views and the full-screen tracking
    const char* plugIns;
    const char* showHide;
    const char* exit;
};

// The Russian set when the system default language is Russian (0x0419), else the English one.
const TrayMenuTexts& TrayMenuTextsFor(unsigned systemLanguage);

// The last item of the Plug-Ins submenu, the same in every language.
extern const char kGetMorePluginsText[];
