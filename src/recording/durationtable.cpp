#include "durationtable.h"

#include <algorithm>
#include <cmath>

#include <QStringList>

#include "intervals.h"
#include "timeunits.h"

namespace veltrano {

namespace {

// Every interval is a whole number of sixteenths of a second, so the memory walk can be
// done in integers and turned into seconds exactly at the end.
constexpr std::int64_t sixteenths(double seconds) {
    return std::int64_t(seconds * 16);
}

bool validUnit(int unitIndex) {
    return unitIndex >= 0 && unitIndex < int(kTableTimeUnits.size());
}

} // namespace

double recordingSeconds(int voltageIndex, int temperatureIndex) {
    const auto& voltage = kVoltageIntervals.at(std::size_t(voltageIndex));
    const auto& temperature = kTemperatureIntervals.at(std::size_t(temperatureIndex));
    const std::int64_t v = sixteenths(voltage.seconds);
    // In fast mode the logger measures the temperature sixteen times as often.
    const std::int64_t t =
        sixteenths(voltageIndex == 0 ? temperature.fastSeconds : temperature.normalSeconds);

    // The faster stream takes 2 bytes a sample; each time it has run for two intervals of the
    // slower stream, that one adds a 4-byte pair. One such cycle is `steps` samples long.
    const std::int64_t fast = std::min(v, t);
    const std::int64_t slow = std::max(v, t);
    const std::int64_t steps = (2 * slow + fast - 1) / fast;
    const std::int64_t cycleBytes = 2 * steps + 4;

    // The last cycle that starts below capacity; the logger stops inside it as soon as the
    // bytes reach capacity, which only its closing 4 bytes can skip past.
    const std::int64_t lastCycle = (kLoggerCapacityBytes + cycleBytes - 1) / cycleBytes - 1;
    const std::int64_t left = kLoggerCapacityBytes - lastCycle * cycleBytes;
    std::int64_t samples = lastCycle * steps;
    if (left <= 2 * (steps - 1))
        samples += (left + 1) / 2;
    else
        samples += steps;
    return double(samples * fast) / 16.0;
}

std::int64_t durationCellValue(double seconds, double unitSeconds) {
    const double units = seconds / unitSeconds;
    const double whole = std::floor(units);
    const double fraction = units - whole; // exact
    // Rounding to one decimal lifts every fraction from .45 on to .5 or more, and the whole
    // number then rounds up. No double lies between 0.45 and the literal 0.45, which is a
    // little above it, so this comparison is exact; an exact tie at .45 cannot occur.
    return std::int64_t(whole) + (fraction >= 0.45 ? 1 : 0);
}

QString durationCellText(double seconds, double unitSeconds, const QLocale& locale) {
    QLocale grouped = locale;
    grouped.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return grouped.toString(qlonglong(durationCellValue(seconds, unitSeconds)));
}

QString durationRowHeader(int gridRow) {
    if (gridRow < 1 || gridRow > kDurationRows)
        return {};
    return QString::fromLatin1(kVoltageIntervals[std::size_t(gridRow - 1)].tableLabel);
}

QString durationColumnHeader(int gridColumn) {
    if (gridColumn < 1 || gridColumn > kDurationColumns)
        return {};
    return QString::fromLatin1(kTemperatureIntervals[std::size_t(gridColumn - 1)].tableLabel);
}

DurationCellTexts durationCellTexts(int unitIndex, const QLocale& locale) {
    DurationCellTexts cells;
    if (!validUnit(unitIndex))
        return cells;
    const double unit = kTableTimeUnits[std::size_t(unitIndex)].seconds;
    for (int r = 0; r < kDurationRows; ++r)
        for (int c = 0; c < kDurationColumns; ++c)
            cells[std::size_t(r)][std::size_t(c)] =
                durationCellText(recordingSeconds(r, c), unit, locale);
    return cells;
}

QString durationTableText(int unitIndex, const QLocale& locale) {
    if (!validUnit(unitIndex))
        return {};
    const DurationCellTexts cells = durationCellTexts(unitIndex, locale);
    QString text;
    for (int c = 0; c < kDurationGridColumns; ++c)
        text += (c ? QStringLiteral("\t") : QString()) + durationColumnHeader(c);
    text += QLatin1Char('\n');
    for (int r = 0; r < kDurationRows; ++r) {
        text += durationRowHeader(r + 1);
        for (const QString& cell : cells[std::size_t(r)])
            text += QLatin1Char('\t') + cell;
        text += QLatin1Char('\n');
    }
    return text;
}

std::optional<int> tableTimeUnitIndex(const QString& word) {
    for (std::size_t i = 0; i < kTableTimeUnits.size(); ++i)
        if (word == QLatin1String(kTableTimeUnits[i].plural))
            return int(i);
    return std::nullopt;
}

} // namespace veltrano
