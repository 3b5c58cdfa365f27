#include "hotkey_text.h"

#include <cstdio>

#include "ascii_case.h"

namespace {

constexpr uint32_t kShift = 0x100;
constexpr uint32_t kCtrl = 0x200;
constexpr uint32_t kAlt = 0x400;

struct Modifier {
    const char* name;
    uint32_t flag;
};
constexpr Modifier kModifiers[] = {{"Ctrl", kCtrl}, {"Alt", kAlt}, {"Shift", kShift}};

struct KeyName {
    const char* name;
    uint32_t key;
};
// Keys without a letter, digit or function-key name of their own.
constexpr KeyName kKeyNames[] = {
    {"Backspace", 0x08}, {"Tab", 0x09},    {"Clear", 0x0C},  {"Enter", 0x0D},    {"Pause", 0x13},
    {"Escape", 0x1B},    {"Space", 0x20},  {"PageUp", 0x21}, {"PageDown", 0x22}, {"End", 0x23},
    {"Home", 0x24},      {"Left", 0x25},   {"Up", 0x26},     {"Right", 0x27},    {"Down", 0x28},
    {"Insert", 0x2D},    {"Delete", 0x2E}, {"Num*", 0x6A},   {"Num+", 0x6B},     {"Num-", 0x6D},
    {"Num.", 0x6E},      {"Num/", 0x6F},
};

constexpr uint32_t kDigitFirst = 0x30;
constexpr uint32_t kLetterFirst = 0x41;
constexpr uint32_t kNumpadFirst = 0x60;
constexpr uint32_t kFunctionFirst = 0x70;
constexpr uint32_t kFunctionCount = 24;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string KeyText(uint32_t key) {
    for (const KeyName& k : kKeyNames) {
        if (k.key == key) {
            return k.name;
        }
    }
    char text[16];
    if ((key >= kDigitFirst && key < kDigitFirst + 10) ||
        (key >= kLetterFirst && key < kLetterFirst + 26)) {
        std::snprintf(text, sizeof(text), "%c", static_cast<char>(key));
    } else if (key >= kNumpadFirst && key < kNumpadFirst + 10) {
        std::snprintf(text, sizeof(text), "Num%u", key - kNumpadFirst);
    } else if (key >= kFunctionFirst && key < kFunctionFirst + kFunctionCount) {
        std::snprintf(text, sizeof(text), "F%u", key - kFunctionFirst + 1);
    } else {
        std::snprintf(text, sizeof(text), "Key%02X", key);
    }
    return text;
}

// A number of one or two decimal digits after `prefix`, within [low, high].
bool NumberAfter(std::string_view text, std::string_view prefix, uint32_t low, uint32_t high,
                 uint32_t* number) {
    if (text.size() <= prefix.size() || text.size() > prefix.size() + 2 ||
        !SameIgnoringCase(text.substr(0, prefix.size()), prefix)) {
        return false;
    }
    uint32_t n = 0;
    for (const char c : text.substr(prefix.size())) {
        if (c < '0' || c > '9') {
            return false;
        }
        n = n * 10 + static_cast<uint32_t>(c - '0');
    }
    *number = n;
    return n >= low && n <= high;
}

bool ParseKey(std::string_view text, uint32_t* key) {
    for (const KeyName& k : kKeyNames) {
        if (SameIgnoringCase(text, k.name)) {
            *key = k.key;
            return true;
        }
    }
    uint32_t n = 0;
    if (text.size() == 1) {
        char c = text[0];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) {
            *key = static_cast<uint32_t>(c);
            return true;
        }
        return false;
    }
    if (NumberAfter(text, "Num", 0, 9, &n)) {
        *key = kNumpadFirst + n;
        return true;
    }
    if (NumberAfter(text, "F", 1, kFunctionCount, &n)) {
        *key = kFunctionFirst + n - 1;
        return true;
    }
    if (text.size() == 5 && SameIgnoringCase(text.substr(0, 3), "Key")) {
        unsigned hex = 0;
        char rest = 0;
        const std::string digits(text.substr(3));
        if (std::sscanf(digits.c_str(), "%2x%c", &hex, &rest) == 1 && hex > 0) {
            *key = hex;
            return true;
        }
    }
    return false;
}

} // namespace

std::string HotKeyText(uint32_t value) {
    const uint32_t key = value & 0xFF;
    if (key == 0) {
        return "none";
    }
    std::string text;
    for (const Modifier& m : kModifiers) {
        if (value & m.flag) {
            text += m.name;
            text += '+';
        }
    }
    return text + KeyText(key);
}

bool ParseHotKeyText(std::string_view text, uint32_t* value) {
    text = Trim(text);
    if (text.empty() || SameIgnoringCase(text, "none")) {
        *value = 0;
        return true;
    }
    uint32_t result = 0;
    bool haveKey = false;
    while (!text.empty()) {
        // "Num+" names a key: a '+' right after "Num" belongs to the part before it.
        size_t plus = text.find('+');
        if (plus != std::string_view::npos && plus >= 3 &&
            SameIgnoringCase(text.substr(plus - 3, 3), "Num") &&
            Trim(text.substr(0, plus)).size() == 3) {
            plus = text.find('+', plus + 1);
        }
        const std::string_view part =
            Trim(plus == std::string_view::npos ? text : text.substr(0, plus));
        text = plus == std::string_view::npos ? std::string_view() : text.substr(plus + 1);
        bool isModifier = false;
        for (const Modifier& m : kModifiers) {
            if (SameIgnoringCase(part, m.name)) {
                if (result & m.flag) {
                    return false;
                }
                result |= m.flag;
                isModifier = true;
            }
        }
        if (isModifier) {
            if (haveKey) {
                return false; // modifiers come before the key
            }
            continue;
        }
        uint32_t key = 0;
        if (haveKey || !ParseKey(part, &key)) {
            return false;
        }
        result |= key;
        haveKey = true;
    }
    if (!haveKey) {
        return false;
    }
    *value = result;
    return true;
}
