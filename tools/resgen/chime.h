// The start sound: a short two-note chime with bell-like overtones, a soft attack and a smooth
// decay to silence. No Windows headers.
#pragma once

#include <cstdint>
#include <vector>

constexpr uint32_t kChimeSampleRate = 22050;
constexpr double kChimeSeconds = 0.6;

// 16-bit mono samples at kChimeSampleRate; the first and the last sample are 0.
std::vector<int16_t> SynthesiseChime();
