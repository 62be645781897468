#pragma once

#include <array>

namespace veltrano {

// Time units of the main window, by the position of "Tijdeenheid".
struct TimeUnit {
    const char* caption;
    int divisor; // seconds per unit
    const char* singular;
    const char* plural;
    const char* nextCaption;
    const char* previousCaption;
    const char* firstCaption;
};

inline constexpr std::array<TimeUnit, 5> kTimeUnits{{
    {"Seconden", 1, "seconde", "seconden", "Volgende seconde", "Vorige seconde", "Eerste seconde"},
    {"Minuten", 60, "minuut", "minuten", "Volgende minuut", "Vorige minuut", "Eerste minuut"},
    {"Uren", 3600, "uur", "uren", "Volgende uur", "Vorige uur", "Eerste uur"},
    {"Dagen", 86400, "dag", "dagen", "Volgende dag", "Vorige dag", "Eerste dag"},
    {"Weken", 604800, "week", "weken", "Volgende week", "Vorige week", "Eerste week"},
}};
inline constexpr int kInitialTimeUnit = 1; // "Minuten"

// Captions of the navigation buttons before the first processing run.
inline constexpr const char* kNextDesignCaption = "Volgende";
inline constexpr const char* kPreviousDesignCaption = "Vorige";
inline constexpr const char* kFirstDesignCaption = "Start vanaf 0";

// Time units of the configuration window's duration table; "jaren" is 52 weeks.
struct TableTimeUnit {
    const char* caption;
    double seconds;
};
inline constexpr std::array<TableTimeUnit, 6> kTableTimeUnits{{
    {"seconden", 1},
    {"minuten", 60},
    {"uren", 3600},
    {"dagen", 86400},
    {"weken", 604800},
    {"jaren", 31449600},
}};

// Units of the two time filters.
struct FilterUnit {
    const char* caption;
    int seconds;
};
inline constexpr std::array<FilterUnit, 3> kFilterUnits{{
    {"minuten", 60},
    {"uren", 3600},
    {"dagen", 86400},
}};

} // namespace veltrano
