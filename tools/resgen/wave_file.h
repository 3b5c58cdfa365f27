// RIFF WAVE files holding 16-bit PCM mono sound. No Windows headers.
#pragma once

#include <cstdint>
#include <vector>

constexpr uint32_t kWaveHeaderBytes = 44;

std::vector<uint8_t> WaveFile(uint32_t sampleRate, const std::vector<int16_t>& samples);
