#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "analysis/events.h"
#include "analysis/report.h"
#include "recording/decoder.h"

namespace veltrano {

// Everything a run reads from the window's controls.
struct ProcessingSettings {
    QString overspanning;
    QString onderspanning = QStringLiteral("12");
    QString temperatuurbovengrens = QStringLiteral("35");
    QString temperatuurondergrens = QStringLiteral("0");
    QString tijdfilter = QStringLiteral("5");
    QString temperatuurtijdfilter = QStringLiteral("5");
    int tijdfilterUnit = 0; // index into kFilterUnits
    int temperatuurtijdfilterUnit = 0;
    int timeUnit = 1; // index into kTimeUnits
    QDateTime periodStart;
    QDateTime periodEnd;
    QLocale locale;

    // The window's start values for a locale (over-voltage "12" + separator + "6").
    static ProcessingSettings defaults(const QLocale& locale = QLocale());
};

// A text that is not a number stops a run before it starts.
struct SettingsError {
    QString field; // the caption beside the input
    QString message;
};

// Overall statistics of a run.
struct Statistics {
    double somspanning = 0;
    std::int32_t spanningmetingen = 0;
    double maxspanning = 0;
    double minspanning = 200;
    double gemspanning = 0;
    double somtemperatuur = 0;
    std::int32_t temperatuurmetingen = 0;
    double maxtemperatuur = 0;
    double mintemperatuur = 200;
    double gemtemperatuur = 0;
};

// What a run produces; its buffers are re-created at the start of every run.
struct ProcessingResult {
    Samples samples;
    EventList calamiteitenarray;
    std::int32_t calamiteitcount = 0;
    std::vector<ClosedEvent> events; // every reported event in report order, numbers from 1
    Report report;
    QStringList messages; // in order, e.g. "Geen metingen" once per summary without voltages
    Statistics stats;
    bool completed = false; // a summary ran
    int summaries = 0;
    // Axis ranges set by the summary (minimum, maximum; the maximum may be the smaller).
    double leftaxismin = 0, leftaxismax = 0, rightaxismin = 0, rightaxismax = 0;
    double bottomaxismax = 0; // time of the last voltage sample in the run's unit
    double seconden = 0;      // length of the recording as the last summary states it
    int timeUnit = 1;         // index into kTimeUnits of the stored times
    int tijdeenheid = 60;
    QString tijdeenheidstring;
    Limits limits;
    DecodeOutcome decode;
    // What the run read: the exports of a finished run take its locale and "Datum
    // aansluiting" from here, whatever the controls hold since.
    ProcessingSettings settings;
};

std::optional<SettingsError> readLimits(const ProcessingSettings& settings, Limits& limits);

// Called every 85,000 image words with the word index; the window handles its events there.
using ProgressPump = std::function<void(std::size_t word)>;

// One processing run over an image of kImageSize bytes. The decoder state (calibration,
// intervals) carries over between runs, as it does in the window.
std::optional<SettingsError> processImage(const std::uint8_t* image,
                                          const ProcessingSettings& settings, DecoderState& state,
                                          ProcessingResult& result, const ProgressPump& pump = {});

// The same run for callers that want the figures only, such as the summary over many images:
// events, statistics and messages as above, but no sample arrays (result.samples stays
// empty) and no event blocks in the report, which saves most of the memory traffic.
std::optional<SettingsError> processImageWithoutSamples(const std::uint8_t* image,
                                                        const ProcessingSettings& settings,
                                                        DecoderState& state,
                                                        ProcessingResult& result);

inline const QString kGeenMetingen = QStringLiteral("Geen metingen");

} // namespace veltrano
