// The processing core on any image content, with the settings drawn from the first bytes.
#include <cstring>

#include "analysis/processing.h"

using namespace veltrano;

namespace {
const char* const kTexts[] = {"12,6", "12.6", "12",  "0",   "-5",  "35",  "1e308", "-1e308",
                              "0,5",  "5",    "1,1", "3,3", "100", "-40", "120",   ""};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::uint8_t* image = new std::uint8_t[kImageSize]();
    static std::size_t used = 0;
    static DecoderState state; // carried between runs, as in the window
    if (size < 8)
        return 0;
    const std::uint8_t* opt = data;
    data += 8;
    size -= 8;
    // Most runs start with a recording-start word, so that decoding usually ends at the zero
    // words after the input instead of walking the whole image.
    const std::size_t head = (opt[6] & 7) ? 2 : 0;
    size = std::min(size, kImageSize - head);
    std::memset(image, 0, used);
    if (head) {
        image[0] = std::uint8_t(0x0C | (opt[7] >> 6));
        image[1] = opt[7];
    }
    std::memcpy(image + head, data, size);
    used = size + head;

    const QLocale locale = (opt[0] & 1) ? QLocale(QLocale::Dutch) : QLocale::c();
    ProcessingSettings s = ProcessingSettings::defaults(locale);
    s.timeUnit = opt[0] >> 1 & 7;
    s.filterText(FilterField::OverVoltage) = QString::fromLatin1(kTexts[opt[1] & 15]);
    s.filterText(FilterField::UnderVoltage) = QString::fromLatin1(kTexts[opt[1] >> 4]);
    s.filterText(FilterField::OverTemperature) = QString::fromLatin1(kTexts[opt[2] & 15]);
    s.filterText(FilterField::UnderTemperature) = QString::fromLatin1(kTexts[opt[2] >> 4]);
    s.filterText(FilterField::VoltageTimeFilter) = QString::fromLatin1(kTexts[opt[3] & 15]);
    s.filterText(FilterField::TemperatureTimeFilter) = QString::fromLatin1(kTexts[opt[3] >> 4]);
    s.voltageTimeFilterUnit = opt[4] % 4;
    s.temperatureTimeFilterUnit = opt[5] % 4;
    static ProcessingResult result; // reused as the window reuses its result
    processImage(image, s, state, result);
    return 0;
}
