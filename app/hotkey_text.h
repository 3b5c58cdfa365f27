// Hot keys written as a person reads them, for the options file: "Ctrl+Alt+M", "Shift+F5",
// "Num5", "none". No Windows headers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The text of a hot-key control value (key in bits 0-7, Shift 0x100, Ctrl 0x200, Alt 0x400);
// "none" for 0. Modifiers come first, in the order Ctrl, Alt, Shift.
std::string HotKeyText(uint32_t value);

// The hot-key control value of a text as HotKeyText writes it, with any case and spaces around
// the parts; "none" and "" give 0. False for anything else: an unknown key name, a modifier
// without a key, a key named twice.
bool ParseHotKeyText(std::string_view text, uint32_t* value);
