#pragma once

#include <memory>

#include <QStringList>

#include "analysis/processing.h"
#include "imagebuilder.h"

namespace veltrano::testing {

inline QLocale dutch() { return QLocale(QLocale::Dutch, QLocale::Netherlands); }

// One processing run over a built image, with Dutch settings unless given.
struct ProcessedImage {
    DecoderState state;
    std::unique_ptr<ProcessingResult> result = std::make_unique<ProcessingResult>();
    std::optional<SettingsError> error;

    const ProcessingResult& operator*() const { return *result; }
    const ProcessingResult* operator->() const { return result.get(); }
    QString line(int i) const { return result->report.lines().at(std::size_t(i)).text; }
    bool red(int i) const { return result->report.lines().at(std::size_t(i)).red; }
    QStringList texts() const {
        QStringList out;
        for (const auto& l : result->report.lines())
            out << l.text;
        return out;
    }
};

inline ProcessedImage process(const ImageBuilder& b, ProcessingSettings settings,
                              DecoderState state = {}) {
    ProcessedImage p;
    p.state = state;
    const std::vector<std::uint8_t> image = b.image();
    p.error = processImage(image.data(), settings, p.state, *p.result);
    return p;
}

inline ProcessingSettings dutchSettings(int timeUnit = 1) {
    ProcessingSettings s = ProcessingSettings::defaults(dutch());
    s.timeUnit = timeUnit;
    return s;
}

// Calibration 0.1 V per count and 20 degrees first, so voltages are exact tenths; intervals of
// one minute for voltage and temperature.
inline ImageBuilder minuteRecording() {
    ImageBuilder b;
    b.calibration(300).recording(7, 2).temperature(20);
    return b;
}

} // namespace veltrano::testing
