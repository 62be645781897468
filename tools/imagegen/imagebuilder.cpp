#include "imagebuilder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "recording/decoder.h"

namespace veltrano {

ImageBuilder& ImageBuilder::word(int tag, int value) {
    if (tag < 0 || tag > 63 || value < 0 || value > 1023)
        throw std::invalid_argument("word out of range");
    const unsigned w = (unsigned(tag) << 10) | unsigned(value);
    bytes_.push_back(std::uint8_t(w >> 8));
    bytes_.push_back(std::uint8_t(w & 0xFF));
    return *this;
}

ImageBuilder& ImageBuilder::calibration(int divisor) {
    calibration_ = calibrationFromWord(divisor);
    return word(tag::Calibration, divisor);
}

ImageBuilder& ImageBuilder::recordingStart(int code) {
    return word(tag::RecordingStart, code);
}
ImageBuilder& ImageBuilder::temperatureStart(int code) {
    return word(tag::TemperatureStart, code);
}
ImageBuilder& ImageBuilder::voltageInterval(int code) {
    return word(tag::VoltageInterval, code);
}
ImageBuilder& ImageBuilder::temperatureInterval(int code) {
    return word(tag::TemperatureInterval, code);
}

ImageBuilder& ImageBuilder::recording(int voltageCode, int temperatureCode) {
    return recordingStart(voltageCode)
        .temperatureStart(temperatureCode)
        .voltageInterval(voltageCode)
        .temperatureInterval(temperatureCode);
}

ImageBuilder& ImageBuilder::voltageRaw(int n) {
    return word(tag::VoltageSample, n);
}

float ImageBuilder::decodedVoltage(int n) const {
    return voltageFromRaw(n, calibration_, temperature_);
}

int ImageBuilder::rawForVoltage(double volts) const {
    const double perCount = double(calibration_) * (1.0 - 0.00015 * (double(temperature_) - 20.0));
    const int guess = int(std::lround(volts / perCount));
    int best = std::clamp(guess, 0, 1023);
    double bestError = std::fabs(double(decodedVoltage(best)) - volts);
    for (int n = std::max(0, guess - 3); n <= std::min(1023, guess + 3); ++n) {
        const double error = std::fabs(double(decodedVoltage(n)) - volts);
        if (error < bestError) {
            best = n;
            bestError = error;
        }
    }
    return best;
}

ImageBuilder& ImageBuilder::voltage(double volts, int count) {
    const int n = rawForVoltage(volts);
    for (int i = 0; i < count; ++i)
        voltageRaw(n);
    return *this;
}

ImageBuilder& ImageBuilder::temperatureRaw(int r) {
    temperature_ = temperatureFromRaw(r);
    return word(tag::TemperatureSample, r);
}

ImageBuilder& ImageBuilder::temperature(double celsius, int count) {
    const int r = std::clamp(int(std::lround((celsius + 50.0) * 5.0)), 0, 1023);
    for (int i = 0; i < count; ++i)
        temperatureRaw(r);
    return *this;
}

ImageBuilder& ImageBuilder::beginPoint() {
    return word(tag::BeginPoint, 0);
}
ImageBuilder& ImageBuilder::endOfRecording(int tag) {
    return word(tag, 0);
}

ImageBuilder& ImageBuilder::done() {
    if (bytes_.size() % 2 != 0)
        throw std::logic_error("DONE must start at an even offset");
    for (char c : {'D', 'O', 'N', 'E'})
        bytes_.push_back(std::uint8_t(c));
    return *this;
}

ImageBuilder& ImageBuilder::bytes(const std::vector<std::uint8_t>& raw) {
    bytes_.insert(bytes_.end(), raw.begin(), raw.end());
    return *this;
}

void ImageBuilder::writeTo(MemoryImage& image) const {
    image.clear();
    if (!bytes_.empty())
        std::memcpy(image.data(), bytes_.data(), std::min(bytes_.size(), kImageSize));
}

std::vector<std::uint8_t> ImageBuilder::image() const {
    std::vector<std::uint8_t> out(kImageSize, 0);
    if (!bytes_.empty())
        std::memcpy(out.data(), bytes_.data(), std::min(bytes_.size(), kImageSize));
    return out;
}

std::optional<QString> ImageBuilder::save(const QString& path) const {
    MemoryImage image;
    writeTo(image);
    return image.save(path);
}

} // namespace veltrano
