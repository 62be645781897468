#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "recording/decoder.h"

namespace veltrano::synthetic {

// A battery recording as the decoder leaves it: entry 0 unused, times in the chosen unit.
struct Recording {
    std::vector<float> voltageTimes, voltageValues;
    std::vector<float> temperatureTimes, temperatureValues;
    std::vector<double> beginPointSeconds = std::vector<double>(veltrano::kBeginPointCapacity, 0.0);
    int voltageSampleCount = 0, temperatureSampleCount = 0;
};

// Voltage every `stepSeconds`, temperature every 60 samples, daily charge and discharge
// with noise and single-sample spikes (cranking dips, charger surges), one restart a week.
inline Recording makeRecording(int voltageSamples, double stepSeconds = 1.0, int unitSeconds = 60,
                               unsigned seed = 1) {
    Recording r;
    r.voltageSampleCount = voltageSamples;
    r.voltageTimes.resize(voltageSamples + 1);
    r.voltageValues.resize(voltageSamples + 1);
    std::mt19937 rng(seed);
    std::normal_distribution<float> noise(0.0f, 0.015f);
    std::uniform_int_distribution<int> spike(0, 40000);
    int restarts = 0;
    for (int i = 1; i <= voltageSamples; ++i) {
        const double seconds = (i - 1) * stepSeconds;
        const double day = std::fmod(seconds / 86400.0, 1.0);
        const double charging = day > 0.3 && day < 0.7 ? 1.0 : 0.0;
        const double sag =
            charging > 0 ? 0.0 : std::min(1.0, (day < 0.3 ? day + 0.3 : day - 0.7) / 0.6);
        float v =
            float(charging > 0 ? 13.9 + 0.4 * std::sin((day - 0.3) * 7.85) : 12.75 - 0.6 * sag);
        v += noise(rng);
        const int s = spike(rng);
        if (s == 0) {
            v = 9.2f + 0.5f * float(rng() % 10) / 10.0f; // cranking dip
        } else if (s == 1) {
            v = 15.6f;
        }
        r.voltageTimes[i] = float(seconds / unitSeconds);
        r.voltageValues[i] = v;
        if (std::fmod(seconds, 604800.0) < stepSeconds &&
            restarts < veltrano::kBeginPointCapacity) {
            r.beginPointSeconds[restarts++] = seconds;
        }
    }
    r.temperatureSampleCount = voltageSamples / 60;
    r.temperatureTimes.resize(r.temperatureSampleCount + 1);
    r.temperatureValues.resize(r.temperatureSampleCount + 1);
    for (int j = 1; j <= r.temperatureSampleCount; ++j) {
        const double seconds = (j - 1) * 60.0 * stepSeconds;
        const double day = std::fmod(seconds / 86400.0, 1.0);
        r.temperatureTimes[j] = float(seconds / unitSeconds);
        r.temperatureValues[j] = float(18.0 + 8.0 * std::sin((day - 0.25) * 6.2832)) + noise(rng);
    }
    return r;
}

} // namespace veltrano::synthetic
