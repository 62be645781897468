#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "recording/intervals.h"
#include "recording/memoryimage.h"
#include "recording/sampletimeline.h"

namespace veltrano {

inline constexpr float kInitialCalibration = 0.037351444f;
inline constexpr std::size_t kSampleCapacity = 17'000'000;
inline constexpr int kBeginPointCapacity = 2048;
inline constexpr std::size_t kProgressEveryWords = 85'000;

// Kept from run to run: only calibration and interval words change it.
struct DecoderState {
    float voltsPerCount = kInitialCalibration;
    double voltageInterval = 0;
    double temperatureInterval = 0;
};

// The four sample arrays (index 0 unused) with their counts, and the begin points.
struct Samples {
    CBuffer<float> voltageValues;
    CBuffer<float> voltageTimes;
    CBuffer<float> temperatureValues;
    CBuffer<float> temperatureTimes;
    std::int32_t voltageSampleCount = 0;
    std::int32_t temperatureSampleCount = 0;
    // The exact clock of every sample; the time arrays hold it rounded to a float in the
    // run's unit.
    SampleTimeline voltageTimeline;
    SampleTimeline temperatureTimeline;
    std::array<double, kBeginPointCapacity> beginPointSeconds{};
    std::int32_t beginPointCount = 0;
    std::int64_t droppedBeginPoints = 0; // begin-point words past the list's end

    // Fresh zero arrays; their pages are only touched as far as samples are stored.
    void recreate();
};

// Rounds to the nearest hundredth, halves to even. x * 100 is exact in extended precision
// for any float or double, so the halves are real halves.
inline long double roundHundredths(long double x) {
    return rintl(x * 100.0L) / 100.0L;
}

// Volts of raw count n: calibration, temperature compensation, two decimals.
inline float voltageFromRaw(int n, float calibration, float temperature) {
    const float raw = float(static_cast<long double>(n) * calibration);
    const long double v = raw;
    const float compensated =
        float(v - 0.00015L * v * (static_cast<long double>(temperature) - 20.0L));
    return float(roundHundredths(compensated));
}

// Degrees Celsius of raw reading r, rounded to two decimals.
inline float temperatureFromRaw(int r) {
    const float t = float((static_cast<long double>(r) / 1024.0L * 2.048L - 0.5L) * 100.0L);
    return float(roundHundredths(t));
}

// Z / divisor rounded to float as if computed in extended precision. Both that and the
// product with the reciprocal lie within a few double ulps of the exact quotient, and a float
// rounding can only differ between them when a float midpoint lies that close; only then is
// the division done in extended precision.
inline float timeInUnit(double seconds, int divisor, double reciprocal) {
    const double q = seconds * reciprocal;
    std::uint64_t bits;
    std::memcpy(&bits, &q, sizeof bits);
    const std::uint64_t low = bits & 0x1FFFFFFFu;
    if (low + 16 - 0x10000000u > 32) // farther than 16 ulps from a float midpoint
        return float(q);
    return float(static_cast<long double>(seconds) / divisor);
}

inline float calibrationFromWord(int value) {
    return value == 0 ? 0.0375f : float(30.0 / value);
}

// The first word index in [from, to) that counts before the first recording-start word: a
// recording-start or a calibration word; `to` when there is none. Every other word is passed
// over there, so an erased or empty image is crossed at memory speed.
std::size_t nextStartOrCalibration(const std::uint8_t* image, std::size_t from, std::size_t to);

// Index of the first recording-start word of an image of kImageWords words, or kImageWords.
std::size_t findRecordingStart(const std::uint8_t* image);

// What a decode run leaves behind besides the samples.
struct DecodeOutcome {
    bool completed = false;        // at least one end-of-recording word was summarised
    bool recordingStarted = false; // a recording-start word was read
    int summaries = 0;
    double voltageClock = 0;     // seconds of the voltage clock at the end
    double temperatureClock = 0; // seconds of the temperature clock at the end
    double lastVoltageClock = 0; // the voltage clock at the last accepted voltage sample
    std::size_t wordsRead = 0;
};

// The values the decoder stored since it last handed samples over: voltage samples
// firstVoltage up to firstVoltage + voltageCount - 1 at voltages[0], voltages[1] ..., and
// likewise the temperatures. Valid until the decoder goes on.
struct StoredSamples {
    const float* voltages;
    std::int32_t firstVoltage;
    std::int32_t voltageCount;
    const float* temperatures;
    std::int32_t firstTemperature;
    std::int32_t temperatureCount;
};

// Walks the image word by word. The sink receives the samples at the fixed points of a run:
//   progress(i)                  every 85,000 words, i = 0 included
//   voltageIntervalText(text)    the report's interval lines, from the start words
//   temperatureIntervalText(text)
//   voltageEvent(v, clock, interval) an accepted voltage, before it is stored
//   voltageStored(v)             after it is stored (statistics, gathering)
//   temperature(t, clock, interval)  a stored temperature (statistics, gate, events)
//   endOfRecording(lastVoltageClock, voltageClock)  the summary of an end-of-recording word
//   samplesTaken(stored)         the values stored since the last hand-over, in blocks: before
//                                a progress report, before a summary and at the end, so that
//                                the sink can go over them while they are in the cache
// Without kKeepSamples the samples are counted but their arrays are not written, for callers
// that only want what the sink computes: only the values of the block not yet handed over are
// kept, in the arrays' first entries (at most kProgressEveryWords of each).
template <class Sink, bool kKeepSamples = true>
DecodeOutcome decodeImage(const std::uint8_t* image, int secondsPerUnit, DecoderState& state,
                          Samples& samples, Sink& sink) {
    DecodeOutcome out;
    bool recordingStarted = false;
    double voltageClock = 0, temperatureClock = 0, lastVoltageClock = 0;
    bool fastMode = false;
    float lastTemperature = 0;
    // The clock jumps or its interval changes: the next sample starts a stretch.
    bool voltageStretchDue = true, temperatureStretchDue = true;

    // Voltage conversions repeat: cache them per raw count until calibration or
    // temperature changes.
    std::array<float, 1024> voltageCache;
    std::array<std::uint32_t, 1024> voltageStamp{};
    std::uint32_t epoch = 1;

    [[maybe_unused]] const double reciprocal = 1.0 / secondsPerUnit;
    float* const vValues = samples.voltageValues.get();
    [[maybe_unused]] float* const vTimes = samples.voltageTimes.get();
    float* const tValues = samples.temperatureValues.get();
    [[maybe_unused]] float* const tTimes = samples.temperatureTimes.get();
    std::int32_t voltageCount = 0, temperatureCount = 0;
    std::int32_t voltagesHanded = 0, temperaturesHanded = 0;
    const auto handOver = [&] {
        if (voltageCount == voltagesHanded && temperatureCount == temperaturesHanded)
            return;
        // Without kKeepSamples the block starts at entry 1 again after every hand-over.
        const std::int32_t vAt = kKeepSamples ? voltagesHanded : 0;
        const std::int32_t tAt = kKeepSamples ? temperaturesHanded : 0;
        sink.samplesTaken(StoredSamples{
            vValues + vAt + 1, voltagesHanded + 1, voltageCount - voltagesHanded, tValues + tAt + 1,
            temperaturesHanded + 1, temperatureCount - temperaturesHanded});
        voltagesHanded = voltageCount;
        temperaturesHanded = temperatureCount;
    };

    std::size_t untilProgress = 0;
    std::size_t i = 0;
    for (; i < kImageWords; ++i) {
        if (untilProgress == 0) {
            samples.voltageSampleCount = voltageCount;
            samples.temperatureSampleCount = temperatureCount;
            handOver();
            sink.progress(i);
            untilProgress = kProgressEveryWords;
        }
        if (!recordingStarted) {
            // Up to the next progress report, only calibration and recording-start words matter.
            const std::size_t stop = std::min(kImageWords, i + untilProgress);
            const std::size_t next = nextStartOrCalibration(image, i, stop);
            untilProgress -= next - i;
            if (next == stop) {
                i = stop - 1;
                continue;
            }
            i = next;
        }
        --untilProgress;
        const ImageWord word = splitWord(image, i);
        const int value = word.value;
        // The tags are distinct, so testing the common sample tags first keeps the dispatch
        // order's meaning.
        if (word.tag == tag::VoltageSample && recordingStarted) {
            float v;
            if (voltageStamp[std::size_t(value)] == epoch) {
                v = voltageCache[std::size_t(value)];
            } else {
                v = voltageFromRaw(value, state.voltsPerCount, lastTemperature);
                voltageCache[std::size_t(value)] = v;
                voltageStamp[std::size_t(value)] = epoch;
            }
            if (v < 3.0f || v > 100.0f)
                continue;
            if (voltageStretchDue) {
                samples.voltageTimeline.startStretch(voltageCount + 1, voltageClock,
                                                     state.voltageInterval);
                voltageStretchDue = false;
            }
            voltageClock += state.voltageInterval;
            lastVoltageClock = voltageClock;
            sink.voltageEvent(v, voltageClock, state.voltageInterval);
            ++voltageCount;
            if constexpr (kKeepSamples) {
                vValues[voltageCount] = v;
                vTimes[voltageCount] = timeInUnit(voltageClock, secondsPerUnit, reciprocal);
            } else {
                vValues[voltageCount - voltagesHanded] = v;
            }
            sink.voltageStored(v);
            continue;
        }
        if (word.tag == tag::Calibration) {
            state.voltsPerCount = calibrationFromWord(value);
            ++epoch;
            continue;
        }
        if (word.tag == tag::Ignored4)
            continue;
        if (word.tag == tag::RecordingStart) {
            recordingStarted = true;
            sink.voltageIntervalText(voltageReportText(value));
            voltageClock -= voltageStartSeconds(value);
            fastMode = isFastRecording(value);
            voltageStretchDue = true;
            continue;
        }
        if (!recordingStarted)
            continue;
        switch (word.tag) {
        case tag::TemperatureStart: {
            sink.temperatureIntervalText(temperatureReportText(value, fastMode));
            temperatureClock -= temperatureSeconds(value, fastMode);
            temperatureStretchDue = true;
            break;
        }
        case tag::Ignored63:
            break;
        case tag::BeginPoint:
            if (samples.beginPointCount < kBeginPointCapacity)
                samples.beginPointSeconds[std::size_t(samples.beginPointCount++)] = voltageClock;
            else
                ++samples.droppedBeginPoints;
            break;
        case tag::VoltageInterval:
            state.voltageInterval = voltageIntervalWordSeconds(value);
            voltageStretchDue = true;
            break;
        case tag::TemperatureInterval:
            state.temperatureInterval = temperatureSeconds(value, state.voltageInterval == 0.0625);
            temperatureStretchDue = true;
            break;
        case tag::TemperatureSample: {
            const float t = temperatureFromRaw(value);
            if (std::memcmp(&t, &lastTemperature, sizeof t) != 0) {
                lastTemperature = t;
                ++epoch;
            }
            if (temperatureStretchDue) {
                samples.temperatureTimeline.startStretch(temperatureCount + 1, temperatureClock,
                                                         state.temperatureInterval);
                temperatureStretchDue = false;
            }
            temperatureClock += state.temperatureInterval;
            ++temperatureCount;
            if constexpr (kKeepSamples) {
                tTimes[temperatureCount] = timeInUnit(temperatureClock, secondsPerUnit, reciprocal);
                tValues[temperatureCount] = t;
            } else {
                tValues[temperatureCount - temperaturesHanded] = t;
            }
            sink.temperature(t, temperatureClock, state.temperatureInterval);
            break;
        }
        case tag::End:
            samples.voltageSampleCount = voltageCount;
            samples.temperatureSampleCount = temperatureCount;
            handOver();
            out.wordsRead = i + 1;
            out.recordingStarted = recordingStarted;
            out.voltageClock = voltageClock;
            out.temperatureClock = temperatureClock;
            out.lastVoltageClock = lastVoltageClock;
            return out;
        default:
            samples.voltageSampleCount = voltageCount;
            samples.temperatureSampleCount = temperatureCount;
            handOver();
            sink.endOfRecording(lastVoltageClock, voltageClock);
            out.completed = true;
            ++out.summaries;
            break;
        }
    }
    samples.voltageSampleCount = voltageCount;
    samples.temperatureSampleCount = temperatureCount;
    handOver();
    out.wordsRead = i;
    out.recordingStarted = recordingStarted;
    out.voltageClock = voltageClock;
    out.temperatureClock = temperatureClock;
    out.lastVoltageClock = lastVoltageClock;
    return out;
}

} // namespace veltrano
