#include "processing.h"

#include <cmath>

#include "analysis/numbers.h"
#include "analysis/runfigures.h"
#include "recording/timeunits.h"

namespace veltrano {

std::array<QString, kFilterFieldCount> ProcessingSettings::startFilterTexts() {
    std::array<QString, kFilterFieldCount> texts;
    for (const FilterFieldInfo& f : kFilterFields)
        texts[std::size_t(f.field)] = QString::fromUtf8(f.startText);
    return texts;
}

ProcessingSettings ProcessingSettings::defaults(const QLocale& locale) {
    ProcessingSettings s;
    s.locale = locale;
    s.filterText(FilterField::OverVoltage) =
        QStringLiteral("12") + locale.decimalPoint() + QStringLiteral("6");
    s.periodStart = QDateTime(QDate(2016, 7, 18), QTime(16, 30, 30));
    s.periodEnd = QDateTime(QDate(2016, 7, 18), QTime(8, 50, 25));
    return s;
}

std::optional<SettingsError> readLimits(const ProcessingSettings& s, Limits& limits) {
    for (const FilterFieldInfo& f : kFilterFields) {
        const QString& text = s.filterText(f.field);
        const auto value = parseLocaleNumber(text, s.locale);
        if (!value) {
            const QString caption = QString::fromUtf8(f.caption);
            const QString shown = text.size() > 40 ? text.left(40) + QStringLiteral("…") : text;
            return SettingsError{
                f.field,
                shown.trimmed().isEmpty()
                    ? QStringLiteral("Vul bij \"%1\" een getal in.").arg(caption)
                    : QStringLiteral("\"%1\" bij \"%2\" is geen geldig getal. Vul een getal in, "
                                     "bijvoorbeeld %3.")
                          .arg(shown, caption,
                               QStringLiteral("12") + s.locale.decimalPoint() +
                                   QStringLiteral("5"))};
        }
        limits.*f.value = *value;
    }
    if (s.voltageTimeFilterUnit < 0 || s.voltageTimeFilterUnit >= int(kFilterUnits.size()) ||
        s.temperatureTimeFilterUnit < 0 || s.temperatureTimeFilterUnit >= int(kFilterUnits.size()))
        return SettingsError{std::nullopt, QStringLiteral("Onbekende eenheid van het tijdfilter.")};
    limits.voltageFilterUnitSeconds = kFilterUnits[std::size_t(s.voltageTimeFilterUnit)].seconds;
    limits.temperatureFilterUnitSeconds =
        kFilterUnits[std::size_t(s.temperatureTimeFilterUnit)].seconds;
    return std::nullopt;
}

namespace {

// Receives the decoder's samples and runs events, statistics, the summary, and with kFigures
// the per-day and band figures on the same pass.
template <bool kFigures> class RunSink {
public:
    RunSink(const ProcessingSettings& settings, ProcessingResult& r,
            const ProgressCallback& progress)
        : settings_(settings), r_(r), progress_(progress),
          writer_(r.report, r.limits, settings.locale, r.secondsPerUnit, r.unitWord),
          events_(r.limits, r.secondsPerUnit, r.eventList, writer_, r.events),
          figures_(settings.periodStart, r.limits) {}

    void progress(std::size_t word) {
        if (progress_)
            progress_(word);
    }
    void voltageIntervalText(const QString& text) {
        r_.report.replace(FixedLine::VoltageInterval, text);
    }
    void temperatureIntervalText(const QString& text) {
        r_.report.replace(FixedLine::TemperatureInterval, text);
    }

    void voltageEvent(float v, double clock, double interval) {
        events_.voltageEvent(v, clock, interval);
    }
    void voltageStored(float v) {
        r_.stats.voltage.add(v);
        events_.voltageGather(v);
    }
    // Every stored sample, also the temperatures outside the gate below, a block at a time.
    void samplesTaken(const StoredSamples& stored) {
        if constexpr (kFigures)
            figures_.take(stored, r_.samples);
    }
    void temperature(float t, double clock, double interval) {
        r_.stats.temperature.add(t);
        if (t < -40.0f || t > 120.0f)
            return;
        events_.temperatureEvent(t, clock, interval);
    }

    void endOfRecording(double lastVoltageClock, double voltageClock) {
        Statistics& s = r_.stats;
        if (s.voltage.count == 0)
            r_.messages << kNoSamplesMessage;
        else
            s.voltage.mean = s.voltage.sum / s.voltage.count;
        s.temperature.mean =
            s.temperature.count == 0 ? std::nan("") : s.temperature.sum / s.temperature.count;
        setAxisRanges();

        r_.recordingSeconds = lastVoltageClock;
        writeSummary(lastVoltageClock);
        events_.closeAll();
        r_.eventCount = events_.eventCount();
        r_.report.replace(FixedLine::EventCount, QStringLiteral("Aantal calamiteiten \t") +
                                                     QString::number(events_.eventCount()));
        r_.lastVoltageTime = double(static_cast<long double>(voltageClock) / r_.secondsPerUnit);
        r_.lastSummary = {s, figures_.voltageLimitSeconds(), figures_.temperatureLimitSeconds()};
    }

    // The image ended inside a recording: the chart's ranges as a summary would set them,
    // up to the last voltage sample; no summary, and events still open stay unreported.
    void cutOff(double lastVoltageClock) {
        setAxisRanges();
        r_.lastVoltageTime = double(static_cast<long double>(lastVoltageClock) / r_.secondsPerUnit);
    }

    std::int32_t eventCount() const { return events_.eventCount(); }
    void leaveOutEventBlocks() { writer_.leaveOutBlocks(); }

    // Days and bands of every stored sample, once the decoder is through.
    void putFigures() {
        if constexpr (kFigures) {
            r_.days = figures_.days(r_.events);
            r_.voltageBands = figures_.voltageBands();
            r_.temperatureBands = figures_.temperatureBands();
        }
    }

private:
    void setAxisRanges() {
        const Statistics& s = r_.stats;
        r_.temperatureAxisMin = s.temperature.min - 2.0;
        r_.temperatureAxisMax = s.temperature.max + 2.0;
        r_.voltageAxisMin = s.voltage.min - 2.0;
        r_.voltageAxisMax = s.voltage.max + 2.0;
    }

    void writeSummary(double recordingSeconds) {
        const Statistics& s = r_.stats;
        const QLocale& loc = settings_.locale;
        const auto m = [&loc](long double v) { return formatMeasured(v, loc); };
        Report& rep = r_.report;
        rep.replace(FixedLine::Period,
                    QStringLiteral("Periode gemeten vanaf ") +
                        loc.toString(settings_.periodStart.date(), QLocale::ShortFormat) +
                        QStringLiteral(" tot ") +
                        loc.toString(settings_.periodEnd.date(), QLocale::ShortFormat));
        rep.replace(FixedLine::AverageVoltage, QStringLiteral("Gemiddelde spanning\t") +
                                                   m(s.voltage.mean) + QStringLiteral(" Volt"));
        rep.replace(FixedLine::MaxVoltage,
                    QStringLiteral("Max spanning\t") + m(s.voltage.max) + QStringLiteral(" Volt"));
        rep.replace(FixedLine::MinVoltage,
                    QStringLiteral("Min spanning\t") + m(s.voltage.min) + QStringLiteral(" Volt"));
        rep.replace(FixedLine::BlankAfterVoltage, QString());
        // Without temperature samples there is no average to show.
        rep.replace(FixedLine::AverageTemperature,
                    QStringLiteral("Gemiddelde temperatuur\t") +
                        (s.temperature.count == 0
                             ? QStringLiteral("geen metingen")
                             : m(s.temperature.mean) + QStringLiteral(" \u00B0C")));
        rep.replace(FixedLine::MaxTemperature, QStringLiteral("Max temperatuur\t") +
                                                   m(s.temperature.max) +
                                                   QStringLiteral(" \u00B0C"));
        rep.replace(FixedLine::MinTemperature, QStringLiteral("Min temperatuur\t") +
                                                   m(s.temperature.min) +
                                                   QStringLiteral(" \u00B0C"));
        rep.replace(FixedLine::BlankAfterTemperature, QString());
        rep.replace(FixedLine::BlankAfterIntervals, QString());
        const long double l = recordingSeconds;
        const auto seconds = static_cast<std::int64_t>(l) % 60;
        const auto minutes = static_cast<std::int64_t>(l / 60) % 60;
        const auto hours = static_cast<std::int64_t>(l / 3600) % 24;
        const auto days = static_cast<std::int64_t>(l / 86400) % 7;
        rep.replace(FixedLine::Seconds, QString::number(seconds) + QStringLiteral(" seconden"));
        rep.replace(FixedLine::Minutes, QString::number(minutes) + QStringLiteral(" minuten"));
        rep.replace(FixedLine::Hours, QString::number(hours) + QStringLiteral(" uren"));
        rep.replace(FixedLine::Days, QString::number(days) + QStringLiteral(" dagen"));
        rep.replace(FixedLine::Weeks, m(l / 604800) + QStringLiteral(" weken"));
    }

    const ProcessingSettings& settings_;
    ProcessingResult& r_;
    const ProgressCallback& progress_;
    EventBlockWriter writer_;
    EventDetector events_;
    RunFigures figures_;
};

} // namespace

namespace {
template <bool kKeepSamples, bool kFigures = true>
std::optional<SettingsError> run(const std::uint8_t* image, const ProcessingSettings& settings,
                                 DecoderState& state, ProcessingResult& result,
                                 const ProgressCallback& progress) {
    Limits limits;
    if (auto error = readLimits(settings, limits))
        return error;
    if (settings.timeUnit < 0 || settings.timeUnit >= int(kTimeUnits.size()))
        return SettingsError{std::nullopt, QStringLiteral("Onbekende tijdeenheid.")};

    const TimeUnit& unit = kTimeUnits[std::size_t(settings.timeUnit)];
    result.limits = limits;
    result.settings = settings;
    result.timeUnit = settings.timeUnit;
    result.secondsPerUnit = unit.divisor;
    result.unitWord = QString::fromUtf8(unit.singular);
    result.report.reset();
    result.stats = Statistics{};
    result.messages.clear();
    result.samples.recreate();
    result.eventList.recreate();
    result.eventCount = 0;
    result.events.clear();
    result.recordingSeconds = 0;
    result.lastSummary = {};
    result.days.clear();
    result.voltageBands = BandTable::ofWidth(10);
    result.temperatureBands = BandTable::ofWidth(100);
    result.completed = false;
    result.cutOff = false;
    result.summaries = 0;

    RunSink<kFigures> sink(settings, result, progress);
    if constexpr (!kKeepSamples)
        sink.leaveOutEventBlocks();
    result.decode = decodeImage<RunSink<kFigures>, kKeepSamples>(image, unit.divisor, state,
                                                                 result.samples, sink);
    if constexpr (!kKeepSamples) {
        // Nothing was stored: the arrays stay as recreate() left them.
        result.samples.voltageSampleCount = 0;
        result.samples.temperatureSampleCount = 0;
        result.samples.voltageTimeline.clear();
        result.samples.temperatureTimeline.clear();
    }
    result.completed = result.decode.completed;
    result.cutOff = !result.completed && result.decode.recordingStarted;
    if (result.cutOff)
        sink.cutOff(result.decode.lastVoltageClock);
    result.summaries = result.decode.summaries;
    result.eventCount = sink.eventCount();
    sink.putFigures();
    return std::nullopt;
}
} // namespace

std::optional<SettingsError> processImage(const std::uint8_t* image,
                                          const ProcessingSettings& settings, DecoderState& state,
                                          ProcessingResult& result,
                                          const ProgressCallback& progress) {
    return run<true>(image, settings, state, result, progress);
}

std::optional<SettingsError> processImageWithoutSamples(const std::uint8_t* image,
                                                        const ProcessingSettings& settings,
                                                        DecoderState& state,
                                                        ProcessingResult& result) {
    return run<false>(image, settings, state, result, {});
}

std::optional<SettingsError> processImageWithoutDaysAndBands(const std::uint8_t* image,
                                                             const ProcessingSettings& settings,
                                                             DecoderState& state,
                                                             ProcessingResult& result) {
    return run<true, false>(image, settings, state, result, {});
}

} // namespace veltrano
