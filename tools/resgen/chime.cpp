#include "chime.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kAttackSeconds = 0.012;
constexpr double kReleaseSeconds = 0.06;
constexpr double kPeak = 0.5; // of full scale

struct Note {
    double start;     // seconds
    double frequency; // Hz
    double level;
    double decay; // per second, of the exponential fall
};

// A major sixth, C6 then A6, the second note a little softer.
constexpr Note kNotes[] = {
    {0.0, 1046.5, 1.0, 7.0},
    {0.11, 1760.0, 0.8, 8.0},
};

// Overtones of a soft bell: harmonic number and relative level.
constexpr double kOvertones[][2] = {{1.0, 1.0}, {2.0, 0.35}, {3.0, 0.12}};

double NoteAt(const Note& note, double t) {
    const double local = t - note.start;
    if (local < 0.0) {
        return 0.0;
    }
    const double attack =
        local < kAttackSeconds ? 0.5 - 0.5 * std::cos(kPi * local / kAttackSeconds) : 1.0;
    double wave = 0.0;
    for (const auto& overtone : kOvertones) {
        // Higher overtones die away faster, as in a struck bell.
        wave += overtone[1] * std::exp(-note.decay * (overtone[0] - 1.0) * local) *
                std::sin(2.0 * kPi * note.frequency * overtone[0] * local);
    }
    return note.level * attack * std::exp(-note.decay * local) * wave;
}

} // namespace

std::vector<int16_t> SynthesiseChime() {
    const size_t count = static_cast<size_t>(kChimeSeconds * kChimeSampleRate);
    std::vector<double> wave(count);
    double loudest = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kChimeSampleRate;
        for (const Note& note : kNotes) {
            wave[i] += NoteAt(note, t);
        }
        // The tail fades to exact silence so that the sound ends without a click.
        const double left = static_cast<double>(count - 1 - i) / kChimeSampleRate;
        if (left < kReleaseSeconds) {
            wave[i] *= 0.5 - 0.5 * std::cos(kPi * left / kReleaseSeconds);
        }
        loudest = std::max(loudest, std::fabs(wave[i]));
    }
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i) {
        samples[i] = static_cast<int16_t>(std::lround(wave[i] / loudest * kPeak * 32767.0));
    }
    return samples;
}
