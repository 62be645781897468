#pragma once

#include <array>

#include <QColor>

namespace veltrano {

// The six series in legend order: title, colour, and whether they use the right axis.
struct SeriesLook {
    const char* title;
    QColor colour;
    bool right;
};
inline const std::array<SeriesLook, 6> kSeriesLook = {{
    {"Spanning", QColor(255, 0, 0), false},
    {"Temperatuur", QColor(0, 128, 255), true},
    {"Overspanning", QColor(128, 64, 64), false},
    {"Onderspanning", QColor(0, 128, 128), false},
    {"Overtemperatuur", QColor(0, 255, 0), true},
    {"Ondertemperatuur", QColor(255, 128, 0), true},
}};

// Pen width of a highlighted series; the others draw with 1.
constexpr int kHighlightWidth = 3;

} // namespace veltrano
