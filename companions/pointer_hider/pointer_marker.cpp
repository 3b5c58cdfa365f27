#include "pointer_marker.h"

#include <cstring>

namespace {

constexpr char kProcessWords[] = "pointer hidden by process ";
constexpr char kStartWords[] = " started ";
constexpr char kLineEnd[] = "\r\n";

bool Expect(const std::string& text, size_t* at, const char* words) {
    const size_t length = std::strlen(words);
    if (text.compare(*at, length, words) != 0) {
        return false;
    }
    *at += length;
    return true;
}

// Decimal digits at `at`, refused when there are none or the value goes beyond `most`.
bool ReadNumber(const std::string& text, size_t* at, uint64_t most, uint64_t* value) {
    const size_t first = *at;
    uint64_t read = 0;
    while (*at < text.size() && text[*at] >= '0' && text[*at] <= '9') {
        const uint64_t digit = static_cast<uint64_t>(text[*at] - '0');
        if (read > (most - digit) / 10) {
            return false;
        }
        read = read * 10 + digit;
        ++*at;
    }
    *value = read;
    return *at > first;
}

} // namespace

std::string FormatPointerMarker(const MarkerOwner& owner) {
    return kProcessWords + std::to_string(owner.processId) + kStartWords +
           std::to_string(owner.startTime) + kLineEnd;
}

bool ParsePointerMarker(const std::string& text, MarkerOwner* owner) {
    size_t at = 0;
    uint64_t processId = 0;
    uint64_t startTime = 0;
    // The whole marker, line end included, or it was cut short while being written.
    if (!Expect(text, &at, kProcessWords) || !ReadNumber(text, &at, UINT32_MAX, &processId) ||
        !Expect(text, &at, kStartWords) || !ReadNumber(text, &at, UINT64_MAX, &startTime) ||
        !Expect(text, &at, kLineEnd) || at != text.size()) {
        return false;
    }
    owner->processId = static_cast<uint32_t>(processId);
    owner->startTime = startTime;
    return true;
}
