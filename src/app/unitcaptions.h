#pragma once

#include <array>

#include "recording/timeunits.h"

namespace veltrano {

// The items of the main window's "Tijdeenheid", by position.
inline constexpr std::array<const char*, 5> kTimeUnitCaptions{"Seconden", "Minuten", "Uren",
                                                              "Dagen", "Weken"};
static_assert(kTimeUnitCaptions.size() == kTimeUnits.size());

// The entries of the two time-filter lists of "Filter instellingen".
inline constexpr std::array<const char*, 3> kFilterUnitCaptions{"minuten", "uren", "dagen"};
static_assert(kFilterUnitCaptions.size() == kFilterUnits.size());

// The items of the configuration window's "Tijdeenheid".
inline constexpr std::array<const char*, 6> kTableTimeUnitCaptions{"seconden", "minuten", "uren",
                                                                   "dagen",    "weken",   "jaren"};
static_assert(kTableTimeUnitCaptions.size() == kTableTimeUnits.size());

} // namespace veltrano
