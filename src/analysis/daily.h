#pragma once

#include <cstdint>
#include <vector>

#include <QDate>
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

} // namespace veltrano
