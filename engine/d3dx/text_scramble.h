// The reversible scrambling of the effect text stored in the engine's resources, shared by the
// build-time generator that scrambles it and the engine that restores it. No Windows headers.
//
// Each byte is XORed with the top byte of a 32-bit linear congruential sequence that starts
// from a fixed seed and advances once per byte, so the scrambled text shows none of its words
// and the same operation over the whole buffer restores it. The length never changes.
#pragma once

#include <cstddef>

namespace d3dx {

void ScrambleEffectText(unsigned char* data, size_t size);
void UnscrambleEffectText(unsigned char* data, size_t size);

} // namespace d3dx
