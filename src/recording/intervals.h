#pragma once

#include <array>

#include <QString>
#include <QStringList>

namespace veltrano {

// One voltage measurement interval in its five forms.
struct VoltageInterval {
    const char* listLabel;
    const char* tableLabel;
    char command; // sent after "!"
    int imageCode;
    double seconds;
    const char* reportNumber; // with its blanks, as the report shows it
    const char* reportUnit;
};

struct TemperatureInterval {
    const char* normalLabel;
    const char* fastLabel;
    const char* tableLabel;
    char command; // sent after the double-quote character
    int imageCode;
    double normalSeconds;
    double fastSeconds;
    const char* normalNumber;
    const char* normalUnit;
    const char* fastNumber;
    const char* fastUnit;
};

inline constexpr std::array<VoltageInterval, 8> kVoltageIntervals{{
    {"16/sec", "16/sec", '0', 18, 0.0625, " ", "Snelmeten"},
    {"1sec", "1 sec", '1', 2, 1, " 1 ", "seconde"},
    {"5sec", "5 sec ", '2', 3, 5, "5 ", "seconden"},
    {"10sec", "10 sec", '3', 4, 10, "10 ", "seconden"},
    {"20sec", "20 sec", '4', 5, 20, "20 ", "seconden"},
    {"30sec", "30 sec", '5', 6, 30, "30 ", "seconden"},
    {"1min", "1 min", '6', 7, 60, "1 ", "minuut"},
    {"5min", "5 min", '7', 8, 300, "5 ", "minuten"},
}};

inline constexpr std::array<TemperatureInterval, 6> kTemperatureIntervals{{
    {"30sec", "1,875/sec", "30 sec", ';', 1, 30, 1.875, "30 ", "seconden", "1.875 ", "seconden"},
    {"1min", "0,9375/sec", "1 min", '<', 2, 60, 3.75, "1 ", "minuut", "3.75 ", "seconden"},
    {"5min", "0.1875/sec", "5 min", '=', 3, 300, 18.75, "5 ", "minuten", "18.75 ", "seconden"},
    {"10min", "0,09375/sec", "10 min", '8', 4, 600, 37.5, "10 ", "minuten", "37.5 ", "seconden"},
    {"20min", "0,046875/sec", "20 min", '>', 5, 1200, 75, "20 ", "minuten", "75 ", "seconden"},
    {"30min", "0,03125/sec", "30 min", '?', 6, 1800, 112.5, "30 ", "minuten", "112.5 ", "seconden"},
}};

inline constexpr int kFastVoltageCode = 18;
inline constexpr int kInitialVoltageListIndex = 1;
inline constexpr int kInitialTemperatureListIndex = 0;

inline const QString kVoltageHeading = QStringLiteral("Spanningmeetinterval");
inline const QString kTemperatureHeading = QStringLiteral("Temperatuurmeetinterval");

// Seconds set by a voltage-interval word (tag 33); codes no list offers included.
double voltageIntervalWordSeconds(int code);
// Seconds a recording-start word (tag 3) moves the voltage clock back.
double voltageStartSeconds(int code);
// "Spanningmeetinterval", tab, number part, unit word.
QString voltageReportText(int code);
inline bool isFastRecording(int startCode) {
    return startCode == kFastVoltageCode;
}

double temperatureSeconds(int code, bool fast);
QString temperatureReportText(int code, bool fast);

char voltageCommand(int listIndex);
char temperatureCommand(int listIndex);

QStringList voltageListLabels();
QStringList temperatureListLabels(bool fast);

} // namespace veltrano
