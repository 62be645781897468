#include "decoder.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace veltrano {

// The fuzzer learns nothing from the branches of a memory scan, and tracing them would cost
// more than the scan itself.
#if defined(__clang__)
#define VELTRANO_NO_COVERAGE __attribute__((no_sanitize("coverage")))
#else
#define VELTRANO_NO_COVERAGE
#endif

namespace {
bool startOrCalibration(int tagValue) {
    return tagValue == tag::RecordingStart || tagValue == tag::Calibration;
}
} // namespace

VELTRANO_NO_COVERAGE std::size_t nextStartOrCalibration(const std::uint8_t* image, std::size_t from,
                                                        std::size_t to) {
    std::size_t i = from;
#if defined(__SSE2__)
    // 32 words per step. In each 16-bit lane the low byte is the word's first (high) byte;
    // its top six bits are the tag: 3 makes 0x0C, 48 makes 0xC0.
    const __m128i mask = _mm_set1_epi16(0x00FC);
    const __m128i start = _mm_set1_epi16(std::int16_t(tag::RecordingStart << 2));
    const __m128i calibration = _mm_set1_epi16(std::int16_t(tag::Calibration << 2));
    const auto hits = [&](const std::uint8_t* p) {
        const __m128i t = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), mask);
        return _mm_or_si128(_mm_cmpeq_epi16(t, start), _mm_cmpeq_epi16(t, calibration));
    };
    while (i + 32 <= to) {
        const std::uint8_t* p = image + 2 * i;
        const __m128i any = _mm_or_si128(_mm_or_si128(hits(p), hits(p + 16)),
                                         _mm_or_si128(hits(p + 32), hits(p + 48)));
        if (_mm_movemask_epi8(any) != 0)
            break;
        i += 32;
    }
#endif
    for (; i < to; ++i)
        if (startOrCalibration(splitWord(image, i).tag))
            return i;
    return to;
}

std::size_t findRecordingStart(const std::uint8_t* image) {
    std::size_t i = 0;
    while ((i = nextStartOrCalibration(image, i, kImageWords)) < kImageWords) {
        if (splitWord(image, i).tag == tag::RecordingStart)
            return i;
        ++i;
    }
    return kImageWords;
}

void Samples::recreate() {
    voltageTimeline.clear();
    temperatureTimeline.clear();
    if (!voltageValues) {
        voltageValues = makeZeroBuffer<float>(kSampleCapacity);
        voltageTimes = makeZeroBuffer<float>(kSampleCapacity);
        temperatureValues = makeZeroBuffer<float>(kSampleCapacity);
        temperatureTimes = makeZeroBuffer<float>(kSampleCapacity);
    } else {
        // Only entries 1..voltageSampleCount and 1..temperatureSampleCount were ever written:
        // zeroing them gives arrays as new, without faulting in fresh pages on every run.
        std::memset(voltageValues.get(), 0, sizeof(float) * std::size_t(voltageSampleCount + 1));
        std::memset(voltageTimes.get(), 0, sizeof(float) * std::size_t(voltageSampleCount + 1));
        std::memset(temperatureValues.get(), 0,
                    sizeof(float) * std::size_t(temperatureSampleCount + 1));
        std::memset(temperatureTimes.get(), 0,
                    sizeof(float) * std::size_t(temperatureSampleCount + 1));
    }
    voltageSampleCount = 0;
    temperatureSampleCount = 0;
    beginPointSeconds.fill(0.0);
    beginPointCount = 0;
    droppedBeginPoints = 0;
}

} // namespace veltrano
