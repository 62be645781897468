#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "analysis/bands.h"
#include "analysis/daily.h"
#include "analysis/events.h"
#include "analysis/filterfields.h"
#include "analysis/report.h"
#include "recording/decoder.h"

namespace veltrano {

// Everything a run reads from the window's controls.
struct ProcessingSettings {
    // The texts of the six number inputs, as typed; see kFilterFields.
    std::array<QString, kFilterFieldCount> filterTexts = startFilterTexts();
    int voltageTimeFilterUnit = 0; // index into kFilterUnits
    int temperatureTimeFilterUnit = 0;
    int timeUnit = 1; // index into kTimeUnits
    QDateTime periodStart;
    QDateTime periodEnd;
    QLocale locale;
    // Where the image came from, for the report on paper: the file's name, or "Download"
    // with the download's date and time; empty when unknown.
    QString imageSource;

    QString& filterText(FilterField field) { return filterTexts[std::size_t(field)]; }
    const QString& filterText(FilterField field) const { return filterTexts[std::size_t(field)]; }

    // The window's start values for a locale (over-voltage "12" + separator + "6").
    static ProcessingSettings defaults(const QLocale& locale = QLocale());

private:
    static std::array<QString, kFilterFieldCount> startFilterTexts();
};

// A text that is not a number stops a run before it starts.
struct SettingsError {
    std::optional<FilterField> field; // the input that holds it; none for a unit out of range
    QString message;
};

// Overall statistics of one quantity over a run.
struct SampleStatistics {
    double sum = 0;
    std::int32_t count = 0;
    double max = 0;
    double min = 200;
    double mean = 0; // set by the summary

    // The first sample is the maximum whatever it is; the minimum starts at 200.
    void add(float value) {
        sum += value;
        if (count == 0 || value >= max)
            max = value;
        if (value <= min)
            min = value;
        ++count;
    }
};

// Overall statistics of a run.
struct Statistics {
    SampleStatistics voltage;
    SampleStatistics temperature;
};

// What the last summary of a run stated: the statistics as they stood at its end-of-recording
// word and the time against the limits up to there.
struct SummaryFigures {
    Statistics stats;
    LimitSeconds voltage;
    LimitSeconds temperature;
};

// What a run produces; its buffers are re-created at the start of every run.
struct ProcessingResult {
    Samples samples;
    EventList eventList;
    std::int32_t eventCount = 0;
    std::vector<ClosedEvent> events; // every reported event in report order, numbers from 1
    Report report;
    QStringList messages; // in order, e.g. "Geen metingen" once per summary without voltages
    Statistics stats;
    bool completed = false; // a summary ran
    // The image ends inside a recording that no summary closed: its samples are there to
    // show and export, its report has no summary and leaves out events still open.
    bool cutOff = false;
    int summaries = 0;
    // Axis ranges set by the summary (minimum, maximum; the maximum may be the smaller).
    double voltageAxisMin = 0, voltageAxisMax = 0, temperatureAxisMin = 0, temperatureAxisMax = 0;
    double lastVoltageTime = 0;  // time of the last voltage sample in the run's unit
    double recordingSeconds = 0; // length of the recording as the last summary states it
    SummaryFigures lastSummary;
    int timeUnit = 1; // index into kTimeUnits of the stored times
    int secondsPerUnit = 60;
    QString unitWord;
    Limits limits;
    DecodeOutcome decode;
    // Per calendar day, and the time spent in 0.1 V and 1 °C bands, over every stored sample.
    DayTable days;
    BandTable voltageBands = BandTable::ofWidth(10);
    BandTable temperatureBands = BandTable::ofWidth(100);
    // What the run read: the exports of a finished run take its locale and "Datum
    // aansluiting" from here, whatever the controls hold since.
    ProcessingSettings settings;
};

// The run has samples to show: a recording was closed, or the image ends inside one.
inline bool hasRecording(const ProcessingResult& r) {
    return r.completed || r.cutOff;
}

std::optional<SettingsError> readLimits(const ProcessingSettings& settings, Limits& limits);

// Called every 85,000 image words with the word index: progress for the window, and the
// place where a run can be stopped.
using ProgressCallback = std::function<void(std::size_t word)>;

// One processing run over an image of kImageSize bytes. The decoder state (calibration,
// intervals) carries over between runs, as it does in the window.
std::optional<SettingsError> processImage(const std::uint8_t* image,
                                          const ProcessingSettings& settings, DecoderState& state,
                                          ProcessingResult& result,
                                          const ProgressCallback& progress = {});

// The same run for callers that want the figures only, such as the summary over many images:
// events, statistics and messages as above, but no sample arrays (result.samples stays
// empty) and no event blocks in the report, which saves most of the memory traffic.
std::optional<SettingsError> processImageWithoutSamples(const std::uint8_t* image,
                                                        const ProcessingSettings& settings,
                                                        DecoderState& state,
                                                        ProcessingResult& result);

// The run as it was before the per-day and band figures (days and bands stay empty), for the
// benchmark that measures what they add.
std::optional<SettingsError> processImageWithoutDaysAndBands(const std::uint8_t* image,
                                                             const ProcessingSettings& settings,
                                                             DecoderState& state,
                                                             ProcessingResult& result);

inline const QString kNoSamplesMessage = QStringLiteral("Geen metingen");

} // namespace veltrano
