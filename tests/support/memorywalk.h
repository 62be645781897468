#pragma once

#include "recording/intervals.h"

namespace veltrano::testing {

// The logger filling its memory one sample at a time: the faster stream writes 2 bytes per
// sample, and after twice the slower interval a 4-byte pair follows. The slow reference for
// the duration table, shared by its test and its benchmark.
inline double walkMemory(int voltageIndex, int temperatureIndex) {
    const double v = kVoltageIntervals[std::size_t(voltageIndex)].seconds;
    const double t = kTemperatureIntervals[std::size_t(temperatureIndex)].normalSeconds;
    double step = v;
    double limit = 2 * t;
    if (voltageIndex == 0) {
        limit = 2 * t / 16;
    } else if (t < v) {
        step = t;
        limit = 2 * v;
    }
    long bytes = 0;
    double elapsed = 0;
    double total = 0;
    while (bytes < 16777215) {
        bytes += 2;
        elapsed += step;
        total += step;
        if (elapsed >= limit) {
            elapsed = 0;
            bytes += 4;
        }
    }
    return total;
}

} // namespace veltrano::testing
