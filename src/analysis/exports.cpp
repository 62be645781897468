#include "exports.h"

#include <cmath>
#include <cstring>

#include <QIODevice>
#include <QStringList>

#include "analysis/csvwriter.h"
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

// One row per stored sample: its time as stored, the value, and the clock at that time.
void writeSeries(CsvWriter& out, const QString& unit, const QString& valueHeading,
                 const float* times, const float* values, std::int32_t count, int divisor,
                 const QDateTime& start, const WriteControl& control) {
    const char sep = out.style().separator;
    const char dec = out.style().decimal;
    out.textRow(
        {QStringLiteral("tijd (%1)").arg(unit), valueHeading, QStringLiteral("datum en tijd")});
    const auto format = [=](char* p, std::int64_t from, std::int64_t to) {
        // One each, for the blocks are formatted on several threads.
        WallClock clock(start);
        ValueTexts valueTexts(dec);
        for (std::int64_t i = from + 1; i <= to; ++i) {
            const float t = times[i];
            p = putShortest(p, t, dec);
            *p++ = sep;
            p = valueTexts.put(p, values[i]);
            *p++ = sep;
            // A float times a divisor of at most 604800 is exact in a double, with at most 44
            // significant bits, so adding a half is exact too: nearest second, halves up.
            const double later = double(t) * divisor + 0.5;
            if (std::fabs(later) < 9e15) { // false for NaN too
                auto whole = static_cast<std::int64_t>(later);
                if (double(whole) > later)
                    --whole;
                p = clock.put(p, whole);
            }
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
} // namespace

QString csvExportWord(CsvExport kind) {
    switch (kind) {
    case CsvExport::Voltage:
        return QStringLiteral("spanning");
    case CsvExport::Temperature:
        return QStringLiteral("temperatuur");
    case CsvExport::Events:
        break;
    }
    return QStringLiteral("calamiteiten");
}

std::optional<CsvExport> csvExportFromWord(const QString& word) {
    for (CsvExport kind : {CsvExport::Voltage, CsvExport::Temperature, CsvExport::Events})
        if (word == csvExportWord(kind))
            return kind;
    return std::nullopt;
}

namespace {
// Writes an export; returns why it stopped: the device's error text for a failed write, "te
// weinig geheugen" when a buffer could not be had, the cancel reason when it was asked to stop.
std::optional<QString> writeExport(CsvExport kind, const ProcessingResult& result,
                                   const ProcessingSettings& settings, QIODevice& device,
                                   const WriteControl& control) {
    CsvWriter out(device, CsvStyle::of(settings.locale));
    out.byteOrderMark();
    const QString unit = unitWord(result);
    const Samples& s = result.samples;
    switch (kind) {
    case CsvExport::Voltage:
        writeSeries(out, unit, QStringLiteral("spanning (V)"), s.voltageTimes.get(),
                    s.voltageValues.get(), s.voltageSampleCount, result.secondsPerUnit,
                    settings.periodStart, control);
        break;
    case CsvExport::Temperature:
        writeSeries(out, unit, QStringLiteral("temperatuur (\u00B0C)"), s.temperatureTimes.get(),
                    s.temperatureValues.get(), s.temperatureSampleCount, result.secondsPerUnit,
                    settings.periodStart, control);
        break;
    case CsvExport::Events:
        writeEvents(out, unit, result.events, result.secondsPerUnit);
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
    if (auto why = writeExport(kind, result, settings, device, {}))
        return QStringLiteral("Schrijven is mislukt: %1").arg(*why);
    return std::nullopt;
}

std::optional<QString> saveCsv(CsvExport kind, const ProcessingResult& result,
                               const ProcessingSettings& settings, const QString& path,
                               const WriteControl& control) {
    return saveFile(
        path, [&](QIODevice& file) { return writeExport(kind, result, settings, file, control); });
}

} // namespace veltrano
