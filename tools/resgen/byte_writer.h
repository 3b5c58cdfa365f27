// Little-endian numbers appended to a byte buffer, for the file formats written here. No Windows
// headers.
#pragma once

#include <cstdint>
#include <vector>

inline void AppendU16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
    AppendU16(out, value & 0xFFFF);
    AppendU16(out, value >> 16);
}

// Appends the characters of `text`, without a terminating zero.
inline void AppendText(std::vector<uint8_t>& out, const char* text) {
    for (; *text != '\0'; ++text) {
        out.push_back(static_cast<uint8_t>(*text));
    }
}
