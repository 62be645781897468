#pragma once

#include <array>
#include <cstddef>

#include "analysis/events.h"

namespace veltrano {

// The six inputs of "Filter instellingen" that hold a number, in the order a run checks them:
// the four limits first (the chart draws them), then the two time filters.
enum class FilterField {
    OverVoltage,
    UnderVoltage,
    OverTemperature,
    UnderTemperature,
    VoltageTimeFilter,
    TemperatureTimeFilter,
};
inline constexpr std::size_t kFilterFieldCount = 6;

// What each of them is: its caption beside the edit (also the name messages use), its key in
// the user's settings file, its text at the window's start ("" for over-voltage, whose start
// value depends on the decimal separator), and where a run keeps its value.
struct FilterFieldInfo {
    FilterField field;
    const char* caption;
    const char* settingsKey;
    const char* startText;
    long double Limits::*value;
};

inline constexpr std::array<FilterFieldInfo, kFilterFieldCount> kFilterFields{{
    {FilterField::OverVoltage, "Overspanning", "Filters/overVoltage", "", &Limits::overVoltage},
    {FilterField::UnderVoltage, "Onderspanning", "Filters/underVoltage", "12",
     &Limits::underVoltage},
    {FilterField::OverTemperature, "Temperatuur bovengrens", "Filters/overTemperature", "35",
     &Limits::overTemperature},
    {FilterField::UnderTemperature, "Temperatuur ondergrens", "Filters/underTemperature", "0",
     &Limits::underTemperature},
    {FilterField::VoltageTimeFilter, "Tijdfilter spanning", "Filters/voltageTimeFilter", "5",
     &Limits::voltageTimeFilter},
    {FilterField::TemperatureTimeFilter, "Tijdfilter temperatuur", "Filters/temperatureTimeFilter",
     "5", &Limits::temperatureTimeFilter},
}};

static_assert([] {
    for (std::size_t i = 0; i < kFilterFieldCount; ++i)
        if (kFilterFields[i].field != FilterField(i))
            return false;
    return true;
}());

constexpr const FilterFieldInfo& filterField(FilterField field) {
    return kFilterFields[std::size_t(field)];
}

// The four limits, as the chart draws them.
inline constexpr std::array<FilterField, 4> kLimitFields{
    FilterField::OverVoltage, FilterField::UnderVoltage, FilterField::OverTemperature,
    FilterField::UnderTemperature};

} // namespace veltrano
