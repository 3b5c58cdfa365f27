#include "wave_file.h"

#include "byte_writer.h"

std::vector<uint8_t> WaveFile(uint32_t sampleRate, const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size()) * 2;
    std::vector<uint8_t> file;
    AppendText(file, "RIFF");
    AppendU32(file, kWaveHeaderBytes - 8 + dataBytes);
    AppendText(file, "WAVE");
    AppendText(file, "fmt ");
    AppendU32(file, 16);
    AppendU16(file, 1); // PCM
    AppendU16(file, 1); // mono
    AppendU32(file, sampleRate);
    AppendU32(file, sampleRate * 2); // bytes per second
    AppendU16(file, 2);              // bytes per sample frame
    AppendU16(file, 16);             // bits per sample
    AppendText(file, "data");
    AppendU32(file, dataBytes);
    for (int16_t sample : samples) {
        AppendU16(file, static_cast<uint16_t>(sample));
    }
    return file;
}
