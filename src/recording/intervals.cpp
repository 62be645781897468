#include "intervals.h"

namespace veltrano {

namespace {
const VoltageInterval* voltageByCode(int code) {
    for (const auto& v : kVoltageIntervals)
        if (v.imageCode == code)
            return &v;
    return nullptr;
}
const TemperatureInterval* temperatureByCode(int code) {
    for (const auto& t : kTemperatureIntervals)
        if (t.imageCode == code)
            return &t;
    return nullptr;
}
} // namespace

double voltageIntervalWordSeconds(int code) {
    if (const auto* v = voltageByCode(code))
        return v->seconds;
    switch (code) {
    case 9:
        return 600;
    case 16:
        return 1200;
    case 17:
        return 1800;
    default:
        return 60;
    }
}

double voltageStartSeconds(int code) {
    const auto* v = voltageByCode(code);
    return v ? v->seconds : 60;
}

QString voltageReportText(int code) {
    const auto* v = voltageByCode(code);
    const char* number = v ? v->reportNumber : "1 ";
    const char* unit = v ? v->reportUnit : "minuten";
    return kVoltageHeading + QLatin1Char('\t') + QLatin1String(number) + QLatin1String(unit);
}

double temperatureSeconds(int code, bool fast) {
    const auto* t = temperatureByCode(code);
    if (!t)
        return fast ? 18.75 : 300;
    return fast ? t->fastSeconds : t->normalSeconds;
}

QString temperatureReportText(int code, bool fast) {
    const auto* t = temperatureByCode(code);
    const char* number = t ? (fast ? t->fastNumber : t->normalNumber) : (fast ? "18.75 " : "5 ");
    const char* unit = t ? (fast ? t->fastUnit : t->normalUnit) : (fast ? "seconden" : "minuten");
    return kTemperatureHeading + QLatin1Char('\t') + QLatin1String(number) + QLatin1String(unit);
}

char voltageCommand(int listIndex) {
    return kVoltageIntervals.at(std::size_t(listIndex)).command;
}

char temperatureCommand(int listIndex) {
    return kTemperatureIntervals.at(std::size_t(listIndex)).command;
}

QStringList voltageListLabels() {
    QStringList out;
    for (const auto& v : kVoltageIntervals)
        out << QString::fromLatin1(v.listLabel);
    return out;
}

QStringList temperatureListLabels(bool fast) {
    QStringList out;
    for (const auto& t : kTemperatureIntervals)
        out << QString::fromLatin1(fast ? t.fastLabel : t.normalLabel);
    return out;
}

} // namespace veltrano
