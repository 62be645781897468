#include "exports.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <QIODevice>
#include <QStringList>

#include "analysis/csvwriter.h"
#include "analysis/daily.h"
#include "analysis/wallclock.h"
#include "recording/safesave.h"
#include "recording/timeunits.h"

namespace veltrano {

namespace {
constexpr std::size_t kRowBytes = 8 * kMaxNumberChars + WallClock::kMaxChars;
// The value's cached text is copied whole, whatever its length.
constexpr std::size_t kSeriesRowBytes = 2 * kMaxNumberChars + WallClock::kMaxChars + 3;

QString unitWord(const ProcessingResult& result) {
    const int i = result.timeUnit >= 0 && result.timeUnit < int(kTimeUnits.size())
                      ? result.timeUnit
                      : kInitialTimeUnit;
    return QString::fromUtf8(kTimeUnits[std::size_t(i)].plural);
}

// The texts of recent sample values: a recording holds few distinct values, a few hundred
// raw counts under one calibration and temperature.
class ValueTexts {
public:
    explicit ValueTexts(char decimal) : decimal_(decimal) {}
    char* put(char* out, float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Entry& e = entries_[(bits * 2654435761u) >> (32 - kBits)];
        if (e.bits == bits) {
            std::memcpy(out, e.text, sizeof e.text);
            return out + e.size;
        }
        char* end = putTwoDecimals(out, value, decimal_);
        if (std::size_t(end - out) <= sizeof e.text) {
            e.bits = bits;
            e.size = std::uint8_t(end - out);
            std::memcpy(e.text, out, sizeof e.text);
        }
        return end;
    }

private:
    static constexpr int kBits = 9;
    struct Entry {
        std::uint32_t bits = 0xFFFFFFFF; // a NaN, whose text is empty as the size says
        std::uint8_t size = 0;
        char text[11] = {};
    };
    char decimal_;
    Entry entries_[1 << kBits];
};

// Stored times between two ends, both included.
struct TimeRange {
    double from;
    double to;
    bool holds(float t) const { return t >= from && t <= to; }
};

// One row per stored sample: its time as stored, the value, and the clock at the sample's exact
// seconds; with a range only the rows whose stored time lies in it.
void writeSeries(CsvWriter& out, const QString& unit, const QString& valueHeading,
                 const float* times, const float* values, const SampleTimeline& timeline,
                 std::int32_t count, const QDateTime& start, std::optional<TimeRange> range,
                 const WriteControl& control) {
    const char sep = out.style().separator;
    const char dec = out.style().decimal;
    out.textRow(
        {QStringLiteral("tijd (%1)").arg(unit), valueHeading, QStringLiteral("datum en tijd")});
    const auto format = [=, &timeline](char* p, std::int64_t from, std::int64_t to) {
        // One each, for the blocks are formatted on several threads.
        WallClock clock(start);
        ValueTexts valueTexts(dec);
        SampleTimeline::Cursor seconds(timeline, std::int32_t(from + 1));
        for (auto i = std::int32_t(from + 1); i <= to; ++i) {
            const float t = times[i];
            if (range && !range->holds(t))
                continue;
            p = putShortest(p, t, dec);
            *p++ = sep;
            p = valueTexts.put(p, values[i]);
            *p++ = sep;
            const double exact = seconds.seconds(i);
            if (hasClockTime(exact))
                p = clock.put(p, roundedSeconds(exact));
            *p++ = '\n';
        }
        return p;
    };
    writeRows(out, count, kSeriesRowBytes, format, control);
}

void writeEvents(CsvWriter& out, const QString& unit, const std::vector<ClosedEvent>& events,
                 int divisor) {
    const char sep = out.style().separator;
    const char dec = out.style().decimal;
    out.textRow({QStringLiteral("nummer"), QStringLiteral("soort"), QStringLiteral("hoeveelste"),
                 QStringLiteral("begin (%1)").arg(unit), QStringLiteral("einde (%1)").arg(unit),
                 QStringLiteral("duur (s)"), QStringLiteral("gemiddelde"),
                 QStringLiteral("extreem")});
    for (const ClosedEvent& e : events) {
        const char* word = eventKindWord(e.kind);
        char* p = out.reserve(kRowBytes);
        p = putInteger(p, e.number);
        *p++ = sep;
        while (*word)
            *p++ = *word++;
        *p++ = sep;
        p = putInteger(p, e.ordinal);
        *p++ = sep;
        // The same values as the event list's rows.
        const long double start = static_cast<long double>(e.moment) / divisor;
        const long double end = (static_cast<long double>(e.moment) + e.duration) / divisor;
        p = putShortest(p, double(start), dec);
        *p++ = sep;
        p = putShortest(p, double(end), dec);
        *p++ = sep;
        p = putShortest(p, e.duration, dec);
        *p++ = sep;
        p = putTwoDecimals(p, e.average, dec);
        *p++ = sep;
        p = putTwoDecimals(p, e.extreme, dec);
        *p++ = '\n';
        out.commit(p);
    }
}

// A few hundred rows at most a year: the window's texts for each cell, quoted where needed.
void writeDays(CsvWriter& out, const DayTable& days) {
    const char dec = out.style().decimal;
    QStringList row;
    for (const char* heading : kDayColumns)
        row << QString::fromUtf8(heading);
    out.textRow(row);
    for (const DayRow& day : days) {
        row.clear();
        for (int column = 0; column < int(kDayColumns.size()); ++column)
            row << dayCellText(day, column, dec);
        out.textRow(row);
    }
}

// A band's edge: one decimal for bands of tenths (voltage), none for whole ones (temperature).
char* putEdge(char* p, std::int64_t hundredths, int hundredthsPerBand, char dec) {
    if (hundredthsPerBand % 100 == 0)
        return putInteger(p, hundredths / 100);
    std::int64_t tenths = hundredths / 10;
    if (tenths < 0) {
        *p++ = '-';
        tenths = -tenths;
    }
    p = putInteger(p, tenths / 10);
    *p++ = dec;
    *p++ = char('0' + tenths % 10);
    return p;
}

void writeBands(CsvWriter& out, const ProcessingResult& result) {
    const char sep = out.style().separator;
    const char dec = out.style().decimal;
    out.textRow({QStringLiteral("soort"), QStringLiteral("van"), QStringLiteral("tot"),
                 QStringLiteral("metingen"), QStringLiteral("uren")});
    for (const auto& [kind, table] : {std::pair{"spanning", &result.voltageBands},
                                      std::pair{"temperatuur", &result.temperatureBands}}) {
        const int width = table->hundredthsPerBand;
        for (std::size_t i = 0; i < table->bands.size(); ++i) {
            const Band& band = table->bands[i];
            const std::int64_t edge = (table->firstBand + std::int64_t(i)) * width;
            char* p = out.reserve(kRowBytes);
            for (const char* c = kind; *c; ++c)
                *p++ = *c;
            *p++ = sep;
            p = putEdge(p, edge, width, dec);
            *p++ = sep;
            p = putEdge(p, edge + width, width, dec);
            *p++ = sep;
            p = putInteger(p, band.samples);
            *p++ = sep;
            p = putShortest(p, band.seconds / 3600, dec);
            *p++ = '\n';
            out.commit(p);
        }
    }
}
} // namespace

QString csvExportWord(CsvExport kind) {
    switch (kind) {
    case CsvExport::Voltage:
        return QStringLiteral("spanning");
    case CsvExport::Temperature:
        return QStringLiteral("temperatuur");
    case CsvExport::Events:
        return QStringLiteral("calamiteiten");
    case CsvExport::Days:
        return QStringLiteral("dagen");
    case CsvExport::Bands:
        break;
    }
    return QStringLiteral("verdeling");
}

std::optional<CsvExport> csvExportFromWord(const QString& word) {
    for (CsvExport kind : {CsvExport::Voltage, CsvExport::Temperature, CsvExport::Events,
                           CsvExport::Days, CsvExport::Bands})
        if (word == csvExportWord(kind))
            return kind;
    return std::nullopt;
}

namespace {
// Writes an export; returns why it stopped: the device's error text for a failed write, "te
// weinig geheugen" when a buffer could not be had, the cancel reason when it was asked to stop.
std::optional<QString> writeExport(CsvExport kind, const ProcessingResult& result,
                                   const ProcessingSettings& settings, QIODevice& device,
                                   std::optional<TimeRange> range, const WriteControl& control) {
    CsvWriter out(device, CsvStyle::of(settings.locale));
    out.byteOrderMark();
    const QString unit = unitWord(result);
    const Samples& s = result.samples;
    switch (kind) {
    case CsvExport::Voltage:
        writeSeries(out, unit, QStringLiteral("spanning (V)"), s.voltageTimes.get(),
                    s.voltageValues.get(), s.voltageTimeline, s.voltageSampleCount,
                    settings.periodStart, range, control);
        break;
    case CsvExport::Temperature:
        writeSeries(out, unit, QStringLiteral("temperatuur (\u00B0C)"), s.temperatureTimes.get(),
                    s.temperatureValues.get(), s.temperatureTimeline, s.temperatureSampleCount,
                    settings.periodStart, range, control);
        break;
    case CsvExport::Events:
        writeEvents(out, unit, result.events, result.secondsPerUnit);
        break;
    case CsvExport::Days:
        writeDays(out, result.days);
        break;
    case CsvExport::Bands:
        writeBands(out, result);
        break;
    }
    if (!out.finish())
        return out.errorString();
    control.progress(1.0);
    return std::nullopt;
}
} // namespace

std::optional<QString> writeCsv(CsvExport kind, const ProcessingResult& result,
                                const ProcessingSettings& settings, QIODevice& device) {
    if (auto why = writeExport(kind, result, settings, device, std::nullopt, {}))
        return QStringLiteral("Schrijven is mislukt: %1").arg(*why);
    return std::nullopt;
}

std::optional<QString> saveCsv(CsvExport kind, const ProcessingResult& result,
                               const ProcessingSettings& settings, const QString& path,
                               const WriteControl& control) {
    return saveFile(path, [&](QIODevice& file) {
        return writeExport(kind, result, settings, file, std::nullopt, control);
    });
}

std::optional<QString> writeCsvRange(CsvExport kind, const ProcessingResult& result,
                                     const ProcessingSettings& settings, double from, double to,
                                     QIODevice& device, const WriteControl& control) {
    const TimeRange range{std::min(from, to), std::max(from, to)};
    return writeExport(kind, result, settings, device, range, control);
}

std::optional<QString> saveCsvRange(CsvExport kind, const ProcessingResult& result,
                                    const ProcessingSettings& settings, double from, double to,
                                    const QString& path, const WriteControl& control) {
    return saveFile(path, [&](QIODevice& file) {
        return writeCsvRange(kind, result, settings, from, to, file, control);
    });
}

} // namespace veltrano
