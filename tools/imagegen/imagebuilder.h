#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

#include "recording/memoryimage.h"

namespace veltrano {

// Builds logger memory word by word. It tracks calibration and the last temperature the way
// the decoder does, so that voltage() can pick the raw count that decodes to a given value.
class ImageBuilder {
public:
    ImageBuilder& word(int tag, int value);
    ImageBuilder& calibration(int divisor);
    ImageBuilder& recordingStart(int voltageCode);
    ImageBuilder& temperatureStart(int temperatureCode);
    ImageBuilder& voltageInterval(int voltageCode);
    ImageBuilder& temperatureInterval(int temperatureCode);
    // One recording header: start words and interval words for the same codes.
    ImageBuilder& recording(int voltageCode, int temperatureCode);
    ImageBuilder& voltageRaw(int n);
    // The raw count whose decoded value is nearest to volts (exact where one exists).
    ImageBuilder& voltage(double volts, int count = 1);
    ImageBuilder& temperatureRaw(int r);
    // Temperatures are multiples of 0.2 degrees; the nearest reading is used.
    ImageBuilder& temperature(double celsius, int count = 1);
    ImageBuilder& beginPoint();
    ImageBuilder& endOfRecording(int tag = 17);
    // The download end marker "DONE" (two end-of-recording words at an even offset).
    ImageBuilder& done();
    ImageBuilder& bytes(const std::vector<std::uint8_t>& raw);

    // The raw count for volts under the current calibration and temperature.
    int rawForVoltage(double volts) const;
    // The value the decoder will read for raw count n right now.
    float decodedVoltage(int n) const;

    const std::vector<std::uint8_t>& data() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }
    // The bytes at the start of a zero image of the full size (cut at the image's end).
    void writeTo(MemoryImage& image) const;
    std::vector<std::uint8_t> image() const;
    // Saves in the image-file form.
    std::optional<QString> save(const QString& path) const;

private:
    std::vector<std::uint8_t> bytes_;
    float calibration_ = 0.037351444f;
    float temperature_ = 0;
};

} // namespace veltrano
