#include "processing.h"

#include <cmath>

#include "analysis/numbers.h"
#include "recording/timeunits.h"

namespace veltrano {

ProcessingSettings ProcessingSettings::defaults(const QLocale& locale) {
    ProcessingSettings s;
    s.locale = locale;
    s.overspanning = QStringLiteral("12") + locale.decimalPoint() + QStringLiteral("6");
    s.periodStart = QDateTime(QDate(2016, 7, 18), QTime(16, 30, 30));
    s.periodEnd = QDateTime(QDate(2016, 7, 18), QTime(8, 50, 25));
    return s;
}

std::optional<SettingsError> readLimits(const ProcessingSettings& s, Limits& limits) {
    struct Field {
        const char* caption;
        const QString* text;
        long double* target;
    };
    const Field fields[] = {
        {"Overspanning", &s.overspanning, &limits.overspanning},
        {"Onderspanning", &s.onderspanning, &limits.onderspanning},
        {"Temperatuur bovengrens", &s.temperatuurbovengrens, &limits.temperatuurbovengrens},
        {"Temperatuur ondergrens", &s.temperatuurondergrens, &limits.temperatuurondergrens},
        {"Tijdfilter spanning", &s.tijdfilter, &limits.tijdfilter},
        {"Tijdfilter temperatuur", &s.temperatuurtijdfilter, &limits.temperatuurtijdfilter},
    };
    for (const Field& f : fields) {
        const auto value = parseLocaleNumber(*f.text, s.locale);
        if (!value) {
            const QString caption = QString::fromUtf8(f.caption);
            const QString shown =
                f.text->size() > 40 ? f.text->left(40) + QStringLiteral("…") : *f.text;
            return SettingsError{
                caption,
                shown.trimmed().isEmpty()
                    ? QStringLiteral("Vul bij \"%1\" een getal in.").arg(caption)
                    : QStringLiteral("\"%1\" bij \"%2\" is geen geldig getal. Vul een getal in, "
                                     "bijvoorbeeld %3.")
                          .arg(shown, caption,
                               QStringLiteral("12") + s.locale.decimalPoint() +
                                   QStringLiteral("5"))};
        }
        *f.target = *value;
    }
    if (s.tijdfilterUnit < 0 || s.tijdfilterUnit >= int(kFilterUnits.size()) ||
        s.temperatuurtijdfilterUnit < 0 || s.temperatuurtijdfilterUnit >= int(kFilterUnits.size()))
        return SettingsError{QStringLiteral("Tijdfilter"),
                             QStringLiteral("Onbekende eenheid van het tijdfilter.")};
    limits.tijdfiltereenheid = kFilterUnits[std::size_t(s.tijdfilterUnit)].seconds;
    limits.temperatuurtijdfiltereenheid =
        kFilterUnits[std::size_t(s.temperatuurtijdfilterUnit)].seconds;
    return std::nullopt;
}

namespace {

// Receives the decoder's samples and runs events, statistics and the summary.
class RunSink {
public:
    RunSink(const ProcessingSettings& settings, ProcessingResult& r, const ProgressPump& pump)
        : settings_(settings), r_(r), pump_(pump),
          writer_(r.report, r.limits, settings.locale, r.tijdeenheid, r.tijdeenheidstring),
          events_(r.limits, r.tijdeenheid, r.calamiteitenarray, writer_, r.events) {}

    void pump(std::size_t word) {
        if (pump_)
            pump_(word);
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
        Statistics& s = r_.stats;
        s.somspanning += v;
        if (s.spanningmetingen == 0 || v >= s.maxspanning)
            s.maxspanning = v;
        if (v <= s.minspanning)
            s.minspanning = v;
        ++s.spanningmetingen;
        events_.voltageGather(v);
    }
    void temperature(float t, double clock, double interval) {
        Statistics& s = r_.stats;
        s.somtemperatuur += t;
        if (s.temperatuurmetingen == 0 || t >= s.maxtemperatuur)
            s.maxtemperatuur = t;
        if (t <= s.mintemperatuur)
            s.mintemperatuur = t;
        ++s.temperatuurmetingen;
        if (t < -40.0f || t > 120.0f)
            return;
        events_.temperatureEvent(t, clock, interval);
    }

    void endOfRecording(double seconden, double Z) {
        Statistics& s = r_.stats;
        if (s.spanningmetingen == 0)
            r_.messages << kGeenMetingen;
        else
            s.gemspanning = s.somspanning / s.spanningmetingen;
        s.gemtemperatuur =
            s.temperatuurmetingen == 0 ? std::nan("") : s.somtemperatuur / s.temperatuurmetingen;
        r_.rightaxismin = s.mintemperatuur - 2.0;
        r_.rightaxismax = s.maxtemperatuur + 2.0;
        r_.leftaxismin = s.minspanning - 2.0;
        r_.leftaxismax = s.maxspanning + 2.0;

        r_.seconden = seconden;
        writeSummary(seconden);
        events_.closeAll();
        r_.calamiteitcount = events_.calamiteitcount();
        r_.report.replace(FixedLine::EventCount, QStringLiteral("Aantal calamiteiten \t") +
                                                     QString::number(events_.calamiteitcount()));
        r_.bottomaxismax = double(static_cast<long double>(Z) / r_.tijdeenheid);
    }

    std::int32_t calamiteitcount() const { return events_.calamiteitcount(); }
    void leaveOutEventBlocks() { writer_.leaveOutBlocks(); }

private:
    void writeSummary(double L) {
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
                                                   m(s.gemspanning) + QStringLiteral(" Volt"));
        rep.replace(FixedLine::MaxVoltage,
                    QStringLiteral("Max spanning\t") + m(s.maxspanning) + QStringLiteral(" Volt"));
        rep.replace(FixedLine::MinVoltage,
                    QStringLiteral("Min spanning\t") + m(s.minspanning) + QStringLiteral(" Volt"));
        rep.replace(FixedLine::BlankAfterVoltage, QString());
        // Without temperature samples there is no average to show.
        rep.replace(FixedLine::AverageTemperature,
                    QStringLiteral("Gemiddelde temperatuur\t") +
                        (s.temperatuurmetingen == 0
                             ? QStringLiteral("geen metingen")
                             : m(s.gemtemperatuur) + QStringLiteral(" \u00B0C")));
        rep.replace(FixedLine::MaxTemperature, QStringLiteral("Max temperatuur\t") +
                                                   m(s.maxtemperatuur) +
                                                   QStringLiteral(" \u00B0C"));
        rep.replace(FixedLine::MinTemperature, QStringLiteral("Min temperatuur\t") +
                                                   m(s.mintemperatuur) +
                                                   QStringLiteral(" \u00B0C"));
        rep.replace(FixedLine::BlankAfterTemperature, QString());
        rep.replace(FixedLine::BlankAfterIntervals, QString());
        const long double l = L;
        const auto S = static_cast<std::int64_t>(l) % 60;
        const auto M = static_cast<std::int64_t>(l / 60) % 60;
        const auto H = static_cast<std::int64_t>(l / 3600) % 24;
        const auto D = static_cast<std::int64_t>(l / 86400) % 7;
        rep.replace(FixedLine::Seconds, QString::number(S) + QStringLiteral(" seconden"));
        rep.replace(FixedLine::Minutes, QString::number(M) + QStringLiteral(" minuten"));
        rep.replace(FixedLine::Hours, QString::number(H) + QStringLiteral(" uren"));
        rep.replace(FixedLine::Days, QString::number(D) + QStringLiteral(" dagen"));
        rep.replace(FixedLine::Weeks, m(l / 604800) + QStringLiteral(" weken"));
    }

    const ProcessingSettings& settings_;
    ProcessingResult& r_;
    const ProgressPump& pump_;
    EventBlockWriter writer_;
    EventDetector events_;
};

} // namespace

namespace {
template <bool kKeepSamples>
std::optional<SettingsError> run(const std::uint8_t* image, const ProcessingSettings& settings,
                                 DecoderState& state, ProcessingResult& result,
                                 const ProgressPump& pump) {
    Limits limits;
    if (auto error = readLimits(settings, limits))
        return error;
    if (settings.timeUnit < 0 || settings.timeUnit >= int(kTimeUnits.size()))
        return SettingsError{QStringLiteral("Tijdeenheid"),
                             QStringLiteral("Onbekende tijdeenheid.")};

    const TimeUnit& unit = kTimeUnits[std::size_t(settings.timeUnit)];
    result.limits = limits;
    result.settings = settings;
    result.timeUnit = settings.timeUnit;
    result.tijdeenheid = unit.divisor;
    result.tijdeenheidstring = QString::fromUtf8(unit.singular);
    result.report.reset();
    result.stats = Statistics{};
    result.messages.clear();
    result.samples.recreate();
    result.calamiteitenarray.recreate();
    result.calamiteitcount = 0;
    result.events.clear();
    result.seconden = 0;
    result.completed = false;
    result.summaries = 0;

    RunSink sink(settings, result, pump);
    if constexpr (!kKeepSamples)
        sink.leaveOutEventBlocks();
    result.decode = decodeImage<RunSink, kKeepSamples>(image, unit.divisor, state,
                                                       result.samples, sink);
    if constexpr (!kKeepSamples) {
        // Nothing was stored: the arrays stay as recreate() left them.
        result.samples.C = 0;
        result.samples.D = 0;
    }
    result.completed = result.decode.completed;
    result.summaries = result.decode.summaries;
    result.calamiteitcount = sink.calamiteitcount();
    return std::nullopt;
}
} // namespace

std::optional<SettingsError> processImage(const std::uint8_t* image,
                                          const ProcessingSettings& settings, DecoderState& state,
                                          ProcessingResult& result, const ProgressPump& pump) {
    return run<true>(image, settings, state, result, pump);
}

std::optional<SettingsError> processImageWithoutSamples(const std::uint8_t* image,
                                                        const ProcessingSettings& settings,
                                                        DecoderState& state,
                                                        ProcessingResult& result) {
    return run<false>(image, settings, state, result, {});
}

} // namespace veltrano
