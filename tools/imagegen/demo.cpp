#include "demo.h"

#include <cmath>
#include <cstdint>

namespace veltrano {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDay = 86400;

// Small deterministic generator so the demo is the same on every machine.
class Noise {
public:
    double next() { // uniform in [-1, 1)
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return double(state_ >> 11) / double(1ull << 52) - 1.0;
    }

private:
    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

bool within(double t, double day, double fromHour, double hours) {
    const double start = day * kDay + fromHour * 3600;
    return t >= start && t < start + hours * 3600;
}

double demoTemperature(double t, Noise& noise) {
    const double day = std::floor(t / kDay);
    const double season = 12.0 + 6.0 * std::sin(2 * kPi * t / (91 * kDay));
    double temp = season + 8.0 * std::sin(2 * kPi * (t / kDay - 0.375)) + 0.3 * noise.next();
    for (double hot : {17.0, 18.0, 44.0, 69.0}) // hot afternoons
        if (day == hot)
            temp += 15.0 * std::exp(-std::pow((t - (hot * kDay + 15 * 3600)) / 7000.0, 2));
    for (double cold : {6.0, 7.0, 33.0, 80.0}) // frost nights
        if (day == cold)
            temp -= 12.0 * std::exp(-std::pow((t - (cold * kDay + 4 * 3600)) / 9000.0, 2));
    return temp;
}

double demoVoltage(double t, Noise& noise) {
    const double day = std::floor(t / kDay);
    // Resting voltage wanders slowly; a daily load pulls it down in the evening.
    double v = 12.30 + 0.08 * std::sin(2 * kPi * t / (9 * kDay)) -
               0.10 * std::exp(-std::pow(std::fmod(t, kDay) / 3600.0 - 19.0, 2) / 4.0) +
               0.01 * noise.next();
    // Charging sessions: two to three hours above the over-voltage limit.
    for (double d : {3.0, 12.0, 26.0, 41.0, 58.0, 75.0, 88.0})
        if (within(t, d, 10, 2.5))
            v = 13.35 + 0.25 * std::sin(2 * kPi * (t - (d * kDay + 36000)) / 9000.0) +
                0.01 * noise.next();
    // Deep discharges below the under-voltage limit.
    for (double d : {9.0, 35.0, 50.0, 67.0, 84.0})
        if (within(t, d, 20, 0.75))
            v = 11.75 + 0.05 * noise.next();
    // Short spikes and dips the five-minute filter drops.
    const double minuteOfDay = std::fmod(t, kDay) / 60.0;
    if (int(day) % 4 == 1 && minuteOfDay >= 600 && minuteOfDay < 602)
        v = 12.9;
    if (int(day) % 5 == 2 && minuteOfDay >= 900 && minuteOfDay < 903)
        v = 11.8;
    return v;
}
} // namespace

ImageBuilder demoRecording() {
    ImageBuilder b;
    b.calibration(800).recording(2, 1).beginPoint();
    Noise noise;
    double t = 0;
    double nextTemperature = 0;
    while (b.size() + 8 < kLoggerMemoryBytes - 4) {
        if (t >= nextTemperature) {
            b.temperature(demoTemperature(t, noise));
            nextTemperature += 30;
        }
        const double v = demoVoltage(t, noise);
        const float factor = 0.0375f;
        b.voltageRaw(int(std::lround(v / double(factor))));
        t += 1;
        // The logger marks a begin point at every charging session.
        if (std::fmod(t, kDay) == 10 * 3600 &&
            (std::floor(t / kDay) == 26.0 || std::floor(t / kDay) == 58.0))
            b.beginPoint();
    }
    b.done();
    return b;
}

ImageBuilder eventRichRecording() {
    ImageBuilder b;
    b.calibration(300).recording(2, 1);
    b.temperature(20);
    double t = 0;
    while (b.size() + 8 < kLoggerMemoryBytes - 4) {
        if (std::fmod(t, 30) == 0) {
            // Temperature swings out of range every 40 minutes for 15 minutes.
            const double phase = std::fmod(t, 2400);
            b.temperature(phase < 900 ? 38.0
                                      : (phase < 1200 ? 20.0 : (phase < 2100 ? -3.0 : 20.0)));
        }
        // Voltage: 10 minutes high, 10 minutes normal, 10 minutes low, 10 minutes normal.
        const double phase = std::fmod(t, 2400);
        const int n = phase < 600 ? 128 : (phase < 1200 ? 123 : (phase < 1800 ? 118 : 123));
        b.voltageRaw(n);
        t += 1;
    }
    b.done();
    return b;
}

} // namespace veltrano
