#pragma once

#include <cstdint>
#include <vector>

namespace veltrano {

// Seconds of one quantity against its two limits, compared as the event detection compares.
// With crossed limits a value can be both above and below; it then counts in both.
struct LimitSeconds {
    double above = 0;
    double between = 0;
    double below = 0;
};

// Samples and time in one band.
struct Band {
    std::int64_t samples = 0;
    double seconds = 0; // each sample counts for the interval in force when it was taken
};

// The time one quantity spent in bands of equal width, by its values rounded to two decimals
// as the exports write them. A band holds its lower edge.
struct BandTable {
    int hundredthsPerBand = 10; // 10: 0.1 V; 100: 1 °C
    std::int64_t firstBand = 0; // bands[0] runs from firstBand * width to the next edge
    std::vector<Band> bands;    // lowest to highest non-empty band, empty ones between
    // Against the run's limits, compared as the event detection compares.
    double secondsAbove = 0;
    double secondsBetween = 0;
    double secondsBelow = 0;

    static BandTable ofWidth(int hundredths) {
        BandTable t;
        t.hundredthsPerBand = hundredths;
        return t;
    }
    double width() const { return hundredthsPerBand / 100.0; }
    double lowerEdge(std::size_t i) const {
        return double(firstBand + std::int64_t(i)) * hundredthsPerBand / 100.0;
    }
    LimitSeconds limitSeconds() const { return {secondsAbove, secondsBetween, secondsBelow}; }
};

} // namespace veltrano
