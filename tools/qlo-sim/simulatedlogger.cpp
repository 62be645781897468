#include "simulatedlogger.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "recording/intervals.h"
#include "recording/memoryimage.h"

namespace veltrano::sim {

namespace {
constexpr int kCalibrationDivisor = 803; // 30 / 803 = 0.03736 V per count

void putWord(Bytes& out, int tagValue, int value) {
    const unsigned w = (unsigned(tagValue) << 10) | (unsigned(value) & 0x3FF);
    out.push_back(std::uint8_t(w >> 8));
    out.push_back(std::uint8_t(w & 0xFF));
}

double voltageSeconds(int code) {
    for (const auto& v : kVoltageIntervals)
        if (v.imageCode == code)
            return v.seconds;
    return 60;
}
double temperatureSeconds(int code, bool fast) {
    for (const auto& t : kTemperatureIntervals)
        if (t.imageCode == code)
            return fast ? t.fastSeconds : t.normalSeconds;
    return fast ? 18.75 : 300;
}
} // namespace

Bytes makeRecording(int voltageCode, int temperatureCode, int voltageSamples) {
    Bytes out;
    putWord(out, tag::Calibration, kCalibrationDivisor);
    putWord(out, tag::RecordingStart, voltageCode);
    putWord(out, tag::TemperatureStart, temperatureCode);
    putWord(out, tag::VoltageInterval, voltageCode);
    putWord(out, tag::TemperatureInterval, temperatureCode);

    const double vStep = voltageSeconds(voltageCode);
    const double tStep = temperatureSeconds(temperatureCode, voltageCode == kFastVoltageCode);
    double nextTemperature = 0;
    for (int i = 0; i < voltageSamples; ++i) {
        const double t = i * vStep;
        if (t >= nextTemperature) {
            const double celsius = 22.0 + 6.0 * std::sin(t / 5400.0 * std::numbers::pi);
            putWord(out, tag::TemperatureSample, int(std::lround(5 * celsius + 250)));
            nextTemperature += tStep;
        }
        const double volts = 12.3 + 0.55 * std::sin(t / 1200.0 * std::numbers::pi);
        putWord(out, tag::VoltageSample, int(std::lround(volts * kCalibrationDivisor / 30.0)));
    }
    return out;
}

Bytes defaultRecording() {
    return makeRecording(2, 1, 3600);
}

Bytes memoryFromImage(const std::uint8_t* image, std::size_t size) {
    static constexpr std::uint8_t kDone[4] = {'D', 'O', 'N', 'E'};
    std::size_t length = 0;
    bool done = false;
    for (std::size_t i = 0; i + 4 <= size; i += 2) {
        if (std::memcmp(image + i, kDone, 4) == 0) {
            length = i;
            done = true;
            break;
        }
    }
    if (!done) {
        length = size;
        while (length > 0 && image[length - 1] == 0)
            --length;
    }
    length = std::min(length, kLoggerMemorySize);
    return Bytes(image, image + length);
}

SimulatedLogger::SimulatedLogger(Bytes memory, int voltageCode, int temperatureCode)
    : memory_(std::move(memory)), voltageCode_(voltageCode), temperatureCode_(temperatureCode) {}

SimulatedLogger::Step SimulatedLogger::feed(std::uint8_t byte) {
    if (pendingCommand_ != 0) {
        const bool voltage = pendingCommand_ == '!';
        pendingCommand_ = 0;
        if (voltage) {
            for (const auto& v : kVoltageIntervals)
                if (std::uint8_t(v.command) == byte) {
                    voltageCode_ = v.imageCode;
                    intervalsChanged_ = true;
                    return {Action::Reply, kVoltageSetReply, false};
                }
        } else {
            for (const auto& t : kTemperatureIntervals)
                if (std::uint8_t(t.command) == byte) {
                    temperatureCode_ = t.imageCode;
                    intervalsChanged_ = true;
                    return {Action::Reply, kTemperatureSetReply, false};
                }
        }
        return {Action::Reply, kUnknownCodeReply, false};
    }
    switch (byte) {
    case '#':
        return {Action::Reply, {}, true};
    case '(':
        return {Action::EraseThenReply, {}, false};
    case '!':
    case '"':
        pendingCommand_ = byte;
        return {};
    default:
        return {};
    }
}

std::string SimulatedLogger::finishErase() {
    std::fill(memory_.begin(), memory_.end(), std::uint8_t(0xFF));
    if (intervalsChanged_) {
        memory_ = makeRecording(voltageCode_, temperatureCode_, 120);
        intervalsChanged_ = false;
    }
    return kErasedReply;
}

} // namespace veltrano::sim
