// The one language test of the program: Russian texts and pages when the system default language
// is Russian as spoken in Russia (0x0419), the others for every other value.
#pragma once

constexpr unsigned kRussianLanguage = 0x0419;

inline bool UsesRussianTexts(unsigned systemLanguage) {
    return systemLanguage == kRussianLanguage;
}
