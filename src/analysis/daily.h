#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QDate>
#include <QString>
#include <QTime>

namespace veltrano {

// One quantity's figures on one calendar day.
struct DayFigures {
    std::int64_t count = 0;
    float min = 0;
    float max = 0;
    QTime minTime;  // clock time of the first sample in recording order with the minimum
    QTime maxTime;  // likewise for the maximum
    double sum = 0; // in recording order
    double mean() const { return count > 0 ? sum / double(count) : 0.0; }
};

// One calendar day of the local clock that "Datum aansluiting" is given in, with a stored
// voltage or temperature sample. A sample's day and time are those of its clock time as the
// spanning and temperatuur exports write it.
struct DayRow {
    QDate date;
    DayFigures voltage;
    DayFigures temperature;
    std::int64_t events = 0; // reported events whose begin falls on this day
};

// The days of a run, in date order.
using DayTable = std::vector<DayRow>;

// The columns of a day table, as the dagen export heads them: the date, then per quantity its
// count, minimum with its time, maximum with its time and mean, then the events.
inline constexpr std::array<const char*, 14> kDayColumns = {"datum",
                                                            "spanningsmetingen",
                                                            "min spanning",
                                                            "tijd min spanning",
                                                            "max spanning",
                                                            "tijd max spanning",
                                                            "gemiddelde spanning",
                                                            "temperatuurmetingen",
                                                            "min temperatuur",
                                                            "tijd min temperatuur",
                                                            "max temperatuur",
                                                            "tijd max temperatuur",
                                                            "gemiddelde temperatuur",
                                                            "calamiteiten"};

// One cell as the dagen export writes it, with `decimal` as the decimal sign: a quantity's
// figures on a day without its samples are empty.
QString dayCellText(const DayRow& day, int column, char decimal);
// The same as a number to sort by: the Julian day, a count, a value, the seconds of a time;
// an empty cell sorts below every value.
double dayCellValue(const DayRow& day, int column);

} // namespace veltrano
