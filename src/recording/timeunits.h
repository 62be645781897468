#pragma once

#include <array>

namespace veltrano {

// Time units of the main window, by the position of "Tijdeenheid": the divisor of the sample
// times and the unit's words in the report, on the time axis and in the exports.
struct TimeUnit {
    int divisor; // seconds per unit
    const char* singular;
    const char* plural;
};

inline constexpr std::array<TimeUnit, 5> kTimeUnits{{
    {1, "seconde", "seconden"},
    {60, "minuut", "minuten"},
    {3600, "uur", "uren"},
    {86400, "dag", "dagen"},
    {604800, "week", "weken"},
}};
inline constexpr int kInitialTimeUnit = 1; // "Minuten"

// A unit by its length and its word, which is its caption in the windows' lists and its name
// on the batch tool's command line.
struct NamedUnit {
    int seconds;
    const char* plural;
};

// Time units of the configuration window's duration table; "jaren" is 52 weeks.
inline constexpr std::array<NamedUnit, 6> kTableTimeUnits{{
    {1, "seconden"},
    {60, "minuten"},
    {3600, "uren"},
    {86400, "dagen"},
    {604800, "weken"},
    {31449600, "jaren"},
}};

// Units of the two time filters.
inline constexpr std::array<NamedUnit, 3> kFilterUnits{{
    {60, "minuten"},
    {3600, "uren"},
    {86400, "dagen"},
}};

} // namespace veltrano
