#include "text_scramble.h"

#include <cstdint>

namespace d3dx {
namespace {

constexpr uint32_t kSeed = 0x5645584Cu; // "VEXL"

void XorWithKeystream(unsigned char* data, size_t size) {
    uint32_t state = kSeed;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        data[i] = static_cast<unsigned char>(data[i] ^ (state >> 24));
    }
}

} // namespace

void ScrambleEffectText(unsigned char* data, size_t size) {
    XorWithKeystream(data, size);
}

void UnscrambleEffectText(unsigned char* data, size_t size) {
    XorWithKeystream(data, size);
}

} // namespace d3dx
