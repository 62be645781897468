#include "events.h"

#include <cmath>

#include "analysis/numbers.h"

namespace veltrano {

const char* eventKindWord(EventKind kind) {
    switch (kind) {
    case EventKind::Overspanning:
        return "overspanning";
    case EventKind::Onderspanning:
        return "onderspanning";
    case EventKind::Overtemperatuur:
        return "overtemperatuur";
    case EventKind::Ondertemperatuur:
        return "ondertemperatuur";
    }
    return "";
}

void EventList::recreate() {
    start = makeZeroBuffer<long double>(kCapacity);
    end = makeZeroBuffer<long double>(kCapacity);
    kind = makeZeroBuffer<std::uint8_t>(kCapacity);
}

void EventDetector::close(EventKind kind) {
    const bool voltage = kind == EventKind::Overspanning || kind == EventKind::Onderspanning;
    KindState& s = kind == EventKind::Overspanning      ? overV_
                   : kind == EventKind::Onderspanning   ? underV_
                   : kind == EventKind::Overtemperatuur ? overT_
                                                        : underT_;
    CrossGroup& cross = voltage ? temperaturesDuringVoltage_ : voltagesDuringTemperature_;

    const long double threshold =
        voltage ? limits_.tijdfilter * static_cast<long double>(limits_.tijdfiltereenheid)
                : limits_.temperatuurtijdfilter *
                      static_cast<long double>(limits_.temperatuurtijdfiltereenheid);
    if (static_cast<long double>(s.duur) >= threshold) {
        const std::int32_t n = ++calamiteitcount_;
        ++s.ordinal;
        // The list holds 9,999 events; later ones are still reported and counted.
        if (n < EventList::kCapacity) {
            list_.start[n] = static_cast<long double>(s.moment) / tijdeenheid_;
            list_.end[n] = (static_cast<long double>(s.moment) + s.duur) / tijdeenheid_;
            list_.kind[n] = std::uint8_t(kind);
        }
        writer_.write({kind, n, s.ordinal, s.moment, s.duur, s.gemiddeld, s.extreme, cross});
    }
    if (kind == EventKind::Overspanning || kind == EventKind::Overtemperatuur)
        resetOver(s);
    else
        resetUnder(s);
    cross = CrossGroup{};
}

void EventDetector::closeAll() {
    if (overV_.active)
        close(EventKind::Overspanning);
    if (underV_.active)
        close(EventKind::Onderspanning);
    if (overT_.active)
        close(EventKind::Overtemperatuur);
    if (underT_.active)
        close(EventKind::Ondertemperatuur);
}

namespace {
struct BlockLabels {
    const char* ordinal;
    const char* moment;
    const char* duration;
    const char* average;
    const char* extreme;
    const char* unit;
};

const BlockLabels& labelsOf(EventKind kind) {
    static const BlockLabels labels[4] = {
        {"Hoeveelste overspanning", "Moment van overspanning", "Duur van de overspanning",
         "Gemiddelde overspanning", "Hoogste spanning", " Volt"},
        {"Hoeveelste onderspanning", "Moment van onderspanning", "Duur van de onderspanning",
         "Gemiddelde onderspanning", "Laagste spanning", " Volt"},
        {"Hoeveelste overtemperatuur", "Moment van overtemperatuur", "Duur van de overtemperatuur",
         "Gemiddelde overtemperatuur", "Hoogste temperatuur", " \u00B0C"},
        {"Hoeveelste ondertemperatuur", "Moment van ondertemperatuur", "Duur van ondertemperatuur",
         "gemiddelde ondertemperatuur", "Laagste temperatuur", " \u00B0C"},
    };
    return labels[int(kind)];
}

QString tabbed(const char* label, const QString& value) {
    return QString::fromUtf8(label) + QLatin1Char('\t') + value;
}
} // namespace

void EventBlockWriter::write(const ClosedEvent& e) {
    const BlockLabels& l = labelsOf(e.kind);
    const QString unit = QString::fromUtf8(l.unit);
    const auto measured = [this](long double v) { return formatMeasured(v, locale_); };

    report_.append(QString());
    report_.append(tabbed("Calamiteit nummer", QString::number(e.number)));
    report_.append(tabbed(l.ordinal, QString::number(e.ordinal)));
    report_.append(
        tabbed(l.moment, unitWord_ + QLatin1Char(' ') +
                             formatMoment(static_cast<long double>(e.moment) / tijdeenheid_)));
    const auto whole = static_cast<std::int64_t>(e.duration);
    const auto minutes = static_cast<std::int64_t>(static_cast<long double>(e.duration) / 60);
    const auto hours = static_cast<std::int64_t>(static_cast<long double>(e.duration) / 3600);
    const auto days = static_cast<std::int64_t>(static_cast<long double>(e.duration) / 86400);
    report_.append(tabbed(l.duration, QStringLiteral("%1 dagen %2 uren %3 minuten %4 seconden ")
                                          .arg(days)
                                          .arg(hours % 24)
                                          .arg(minutes % 60)
                                          .arg(whole % 60)));
    report_.setRed(true);
    report_.append(tabbed(l.average, measured(e.average) + unit));
    report_.append(tabbed(l.extreme, measured(e.extreme) + unit));
    report_.setRed(false);

    const CrossGroup& g = e.cross;
    if (g.som > 0 && g.count > 0) {
        const double average = g.som / g.count;
        const bool voltageEvent =
            e.kind == EventKind::Overspanning || e.kind == EventKind::Onderspanning;
        const long double upper =
            voltageEvent ? limits_.temperatuurbovengrens : limits_.overspanning;
        const long double lower =
            voltageEvent ? limits_.temperatuurondergrens : limits_.onderspanning;
        const QString otherUnit =
            voltageEvent ? QStringLiteral(" \u00B0C") : QStringLiteral(" Volt");
        const char* quantity = voltageEvent ? "temperatuur" : "spanning";
        if (average > upper)
            report_.setRed(true);
        report_.append(QStringLiteral("Gemiddelde %1\t").arg(quantity) + measured(average) +
                       otherUnit);
        if (g.max > upper)
            report_.setRed(true);
        report_.append(QStringLiteral("Hoogste %1\t").arg(quantity) + measured(g.max) + otherUnit);
        if (g.min < lower)
            report_.setRed(true);
        report_.append(QStringLiteral("Laagste %1\t").arg(quantity) + measured(g.min) + otherUnit);
    }
}

} // namespace veltrano
