#include "events.h"

#include <algorithm>
#include <cmath>

#include "analysis/numbers.h"

namespace veltrano {

const char* eventKindWord(EventKind kind) {
    switch (kind) {
    case EventKind::OverVoltage:
        return "overspanning";
    case EventKind::UnderVoltage:
        return "onderspanning";
    case EventKind::OverTemperature:
        return "overtemperatuur";
    case EventKind::UnderTemperature:
        return "ondertemperatuur";
    }
    return "";
}

float floorFloat(long double x) {
    if (std::isnan(x))
        return std::numeric_limits<float>::quiet_NaN();
    float f = float(x);
    if (static_cast<long double>(f) > x)
        f = std::nextafter(f, -std::numeric_limits<float>::infinity());
    return f;
}

float ceilFloat(long double x) {
    if (std::isnan(x))
        return std::numeric_limits<float>::quiet_NaN();
    float f = float(x);
    if (static_cast<long double>(f) < x)
        f = std::nextafter(f, std::numeric_limits<float>::infinity());
    return f;
}

// Emptied in place after the first time: a run does not fault in fresh pages.
void EventList::recreate() {
    if (!start) {
        start = makeZeroBuffer<long double>(kCapacity);
        end = makeZeroBuffer<long double>(kCapacity);
        kind = makeZeroBuffer<std::uint8_t>(kCapacity);
        return;
    }
    std::fill_n(start.get(), kCapacity, 0.0L);
    std::fill_n(end.get(), kCapacity, 0.0L);
    std::fill_n(kind.get(), kCapacity, std::uint8_t(0));
}

void EventDetector::close(EventKind kind) {
    const bool voltage = kind == EventKind::OverVoltage || kind == EventKind::UnderVoltage;
    KindState& s = kind == EventKind::OverVoltage       ? overV_
                   : kind == EventKind::UnderVoltage    ? underV_
                   : kind == EventKind::OverTemperature ? overT_
                                                        : underT_;
    CrossGroup& cross = voltage ? temperaturesDuringVoltage_ : voltagesDuringTemperature_;
    s.duration = s.counter * s.interval;
    s.average = s.sum / s.counter;

    const long double threshold =
        voltage
            ? limits_.voltageTimeFilter * static_cast<long double>(limits_.voltageFilterUnitSeconds)
            : limits_.temperatureTimeFilter *
                  static_cast<long double>(limits_.temperatureFilterUnitSeconds);
    if (static_cast<long double>(s.duration) >= threshold) {
        const std::int32_t n = ++eventCount_;
        ++s.ordinal;
        // The list holds 9,999 events; later ones are still reported and counted.
        reported_.push_back(
            {kind, n, s.ordinal, s.moment, s.duration, s.average, s.extreme, cross});
        if (n < EventList::kCapacity) {
            list_.start[n] = startInUnit(reported_.back(), secondsPerUnit_);
            list_.end[n] = endInUnit(reported_.back(), secondsPerUnit_);
            list_.kind[n] = std::uint8_t(kind);
        }
        writer_.write(reported_.back());
    }
    if (kind == EventKind::OverVoltage || kind == EventKind::OverTemperature)
        resetOver(s);
    else
        resetUnder(s);
    cross = CrossGroup{};
}

void EventDetector::closeAll() {
    if (overV_.active)
        close(EventKind::OverVoltage);
    if (underV_.active)
        close(EventKind::UnderVoltage);
    if (overT_.active)
        close(EventKind::OverTemperature);
    if (underT_.active)
        close(EventKind::UnderTemperature);
}

namespace {
struct BlockLabels {
    QString ordinal;
    QString moment;
    QString duration;
    QString average;
    QString extreme;
    QString unit;
};

const BlockLabels& labelsOf(EventKind kind) {
    static const BlockLabels labels[4] = {
        {QStringLiteral("Hoeveelste overspanning\t"), QStringLiteral("Moment van overspanning\t"),
         QStringLiteral("Duur van de overspanning\t"), QStringLiteral("Gemiddelde overspanning\t"),
         QStringLiteral("Hoogste spanning\t"), QStringLiteral(" Volt")},
        {QStringLiteral("Hoeveelste onderspanning\t"), QStringLiteral("Moment van onderspanning\t"),
         QStringLiteral("Duur van de onderspanning\t"),
         QStringLiteral("Gemiddelde onderspanning\t"), QStringLiteral("Laagste spanning\t"),
         QStringLiteral(" Volt")},
        {QStringLiteral("Hoeveelste overtemperatuur\t"),
         QStringLiteral("Moment van overtemperatuur\t"),
         QStringLiteral("Duur van de overtemperatuur\t"),
         QStringLiteral("Gemiddelde overtemperatuur\t"), QStringLiteral("Hoogste temperatuur\t"),
         QStringLiteral(" \u00B0C")},
        {QStringLiteral("Hoeveelste ondertemperatuur\t"),
         QStringLiteral("Moment van ondertemperatuur\t"),
         QStringLiteral("Duur van ondertemperatuur\t"),
         QStringLiteral("gemiddelde ondertemperatuur\t"), QStringLiteral("Laagste temperatuur\t"),
         QStringLiteral(" \u00B0C")},
    };
    return labels[int(kind)];
}

struct CrossLabels {
    QString average, highest, lowest, unit;
};
const CrossLabels kTemperatureCross{
    QStringLiteral("Gemiddelde temperatuur\t"), QStringLiteral("Hoogste temperatuur\t"),
    QStringLiteral("Laagste temperatuur\t"), QStringLiteral(" \u00B0C")};
const CrossLabels kVoltageCross{QStringLiteral("Gemiddelde spanning\t"),
                                QStringLiteral("Hoogste spanning\t"),
                                QStringLiteral("Laagste spanning\t"), QStringLiteral(" Volt")};
} // namespace

QString durationText(double seconds) {
    const long double d = seconds;
    const auto whole = static_cast<std::int64_t>(d);
    const auto minutes = static_cast<std::int64_t>(d / 60);
    const auto hours = static_cast<std::int64_t>(d / 3600);
    const auto days = static_cast<std::int64_t>(d / 86400);
    // One allocation: thousands of event blocks build this text.
    QString text;
    text.reserve(48);
    text += QString::number(days);
    text += u" dagen ";
    text += QString::number(hours % 24);
    text += u" uren ";
    text += QString::number(minutes % 60);
    text += u" minuten ";
    text += QString::number(whole % 60);
    text += u" seconden ";
    return text;
}

void EventBlockWriter::write(const ClosedEvent& e) {
    if (!blocks_)
        return;
    const BlockLabels& l = labelsOf(e.kind);
    const auto measured = [this](long double v) { return formatMeasured(v, locale_); };

    report_.append(QString());
    report_.append(QStringLiteral("Calamiteit nummer\t") + QString::number(e.number));
    report_.append(l.ordinal + QString::number(e.ordinal));
    report_.append(l.moment + unitWord_ + QLatin1Char(' ') +
                   formatMoment(static_cast<long double>(e.moment) / secondsPerUnit_));
    report_.append(l.duration + durationText(e.duration));
    report_.setRed(true);
    report_.append(l.average + measured(e.average) + l.unit);
    report_.append(l.extreme + measured(e.extreme) + l.unit);
    report_.setRed(false);

    const CrossGroup& g = e.cross;
    if (g.sum > 0 && g.count > 0) {
        const double average = g.sum / g.count;
        const bool voltageEvent =
            e.kind == EventKind::OverVoltage || e.kind == EventKind::UnderVoltage;
        const long double upper = voltageEvent ? limits_.overTemperature : limits_.overVoltage;
        const long double lower = voltageEvent ? limits_.underTemperature : limits_.underVoltage;
        const CrossLabels& c = voltageEvent ? kTemperatureCross : kVoltageCross;
        if (average > upper)
            report_.setRed(true);
        report_.append(c.average + measured(average) + c.unit);
        if (g.max > upper)
            report_.setRed(true);
        report_.append(c.highest + measured(g.max) + c.unit);
        if (g.min < lower)
            report_.setRed(true);
        report_.append(c.lowest + measured(g.min) + c.unit);
    }
}

} // namespace veltrano
