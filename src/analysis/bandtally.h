#pragma once

#include <cstdint>
#include <vector>

#include "analysis/bands.h"

namespace veltrano {

// Counts one quantity's samples and their time per hundredth while a run goes, against its
// limits too, and folds the hundredths into bands at the end. A recording holds few distinct
// values, so the cells stay in the cache, and the time in each is an exact sum: every interval
// is a multiple of 1/16 s.
class BandTally {
public:
    // The limits as the event detection has them.
    BandTally(long double upperLimit, long double lowerLimit);

    // A sample with the interval in force when it was taken. Placed by its value rounded to
    // two decimals as the exports write it; a value beyond a million is no measurement and
    // is left out.
    void add(float value, double interval) {
        const double x = double(value) * 100.0;
        if (!(x > -1e8 && x < 1e8)) // NaN too
            return;
        const std::int64_t hundredths = hundredthsOf(x);
        const auto i = std::uint64_t(hundredths - base_);
        if (i >= cells_.size()) {
            widen(hundredths);
            add(value, interval);
            return;
        }
        Cell& c = cells_[i];
        ++c.samples;
        c.seconds += interval;
        sideSeconds_[(value > above_ ? kAbove : 0) | (value < below_ ? kBelow : 0)] += interval;
    }

    // `samples` samples of one value, `hundredths` its value rounded as add() rounds it.
    void addCell(std::int64_t hundredths, float value, std::int64_t samples, double interval) {
        const auto i = std::uint64_t(hundredths - base_);
        if (i >= cells_.size()) {
            widen(hundredths);
            addCell(hundredths, value, samples, interval);
            return;
        }
        // Whole multiples of 1/16 s: the product is the exact sum of the samples' intervals.
        const double seconds = double(samples) * interval;
        cells_[i].samples += samples;
        cells_[i].seconds += seconds;
        sideSeconds_[(value > above_ ? kAbove : 0) | (value < below_ ? kBelow : 0)] += seconds;
    }
    // A block of samples taken with one interval, as add() takes them one by one.
    void addBlock(const float* values, std::int32_t count, double interval);

    LimitSeconds limitSeconds() const;
    // Every band from the lowest to the highest that holds a sample.
    BandTable table(int hundredthsPerBand) const;

private:
    static constexpr int kAbove = 1;
    static constexpr int kBelow = 2;
    struct Cell {
        std::int64_t samples = 0;
        double seconds = 0;
    };
    void widen(std::int64_t hundredths);
    static std::int64_t hundredthsOf(double x) {
        // Adding and taking away 1.5 * 2^52 rounds to a whole number, halves to even.
        return std::int64_t((x + 0x1.8p52) - 0x1.8p52);
    }

    float above_;           // value > limit exactly when value > above_
    float below_;           // value < limit exactly when value < below_
    std::int64_t base_ = 0; // hundredths of cells_[0]
    std::vector<Cell> cells_;
    double sideSeconds_[4] = {}; // by kAbove | kBelow
    // A block's counts per cell, in four rows taken in turn: a value repeats many times in a
    // row, and one counter would wait for its own previous increment each time.
    std::vector<std::uint32_t> blockCounts_[4];
};

} // namespace veltrano
