#pragma once

#include <array>

#include "recording/timeunits.h"

namespace veltrano {

// Captions of the three paging buttons of "Grafiek navigatie".
struct PagingCaptions {
    const char* first;
    const char* previous;
    const char* next;
};

// Before the first processing run.
inline constexpr PagingCaptions kDesignPagingCaptions{"Start vanaf 0", "Vorige", "Volgende"};

// After a run, by the position of its time unit in "Tijdeenheid".
inline constexpr std::array<PagingCaptions, 5> kUnitPagingCaptions{{
    {"Eerste seconde", "Vorige seconde", "Volgende seconde"},
    {"Eerste minuut", "Vorige minuut", "Volgende minuut"},
    {"Eerste uur", "Vorige uur", "Volgende uur"},
    {"Eerste dag", "Vorige dag", "Volgende dag"},
    {"Eerste week", "Vorige week", "Volgende week"},
}};
static_assert(kUnitPagingCaptions.size() == kTimeUnits.size());

} // namespace veltrano
