#include "bandtally.h"

#include <algorithm>

#include "analysis/events.h"
#include "analysis/numbers.h"

namespace veltrano {

BandTally::BandTally(long double upperLimit, long double lowerLimit)
    : above_(floorFloat(upperLimit)), below_(ceilFloat(lowerLimit)) {}

void BandTally::widen(std::int64_t hundredths) {
    // Room around the new value, so that a run's values widen the cells a few times only.
    constexpr std::int64_t kMargin = 512;
    const std::int64_t end = base_ + std::int64_t(cells_.size());
    const std::int64_t from =
        cells_.empty() ? hundredths - kMargin : std::min(base_, hundredths - kMargin);
    const std::int64_t to =
        cells_.empty() ? hundredths + kMargin + 1 : std::max(end, hundredths + kMargin + 1);
    std::vector<Cell> wider(std::size_t(to - from));
    std::copy(cells_.begin(), cells_.end(), wider.begin() + (base_ - from));
    cells_ = std::move(wider);
    base_ = from;
}

void BandTally::addBlock(const float* values, std::int32_t count, double interval) {
    if (count <= 0)
        return;
    // Four lows and highs side by side: one pair would wait for its own previous compare.
    float lows[4] = {values[0], values[0], values[0], values[0]};
    float highs[4] = {values[0], values[0], values[0], values[0]};
    std::int32_t i = 0;
    for (; i + 4 <= count; i += 4)
        for (int k = 0; k < 4; ++k) {
            lows[k] = values[i + k] < lows[k] ? values[i + k] : lows[k];
            highs[k] = values[i + k] > highs[k] ? values[i + k] : highs[k];
        }
    for (; i < count; ++i) {
        lows[0] = values[i] < lows[0] ? values[i] : lows[0];
        highs[0] = values[i] > highs[0] ? values[i] : highs[0];
    }
    const float low = std::min({lows[0], lows[1], lows[2], lows[3]});
    const float high = std::max({highs[0], highs[1], highs[2], highs[3]});
    const double lowX = double(low) * 100.0, highX = double(high) * 100.0;
    if (!(lowX > -1e8 && highX < 1e8)) { // values that are no measurement, or NaN
        for (std::int32_t i = 0; i < count; ++i)
            add(values[i], interval);
        return;
    }
    const std::int64_t lowest = hundredthsOf(lowX), highest = hundredthsOf(highX);
    // Going over the cells afterwards would cost more than taking the samples one by one.
    if ((highest - lowest) * 8 >= count) {
        for (i = 0; i < count; ++i)
            add(values[i], interval);
        return;
    }
    if (cells_.empty() || lowest < base_)
        widen(lowest);
    if (highest >= base_ + std::int64_t(cells_.size()))
        widen(highest);
    for (auto& row : blockCounts_)
        row.resize(cells_.size());

    std::int64_t above = 0, below = 0, both = 0, taken = 0;
    const float aboveLimit = above_, belowLimit = below_;
    for (i = 0; i < count; ++i) {
        const float v = values[i];
        const double x = double(v) * 100.0;
        if (!(x >= lowX && x <= highX)) // NaN between the others
            continue;
        ++blockCounts_[i & 3][std::size_t(hundredthsOf(x) - base_)];
        const bool isAbove = v > aboveLimit, isBelow = v < belowLimit;
        above += isAbove;
        below += isBelow;
        both += isAbove & isBelow;
        ++taken;
    }
    for (auto i = std::size_t(lowest - base_); i <= std::size_t(highest - base_); ++i) {
        const std::uint32_t n =
            blockCounts_[0][i] + blockCounts_[1][i] + blockCounts_[2][i] + blockCounts_[3][i];
        if (n == 0)
            continue;
        for (auto& row : blockCounts_)
            row[i] = 0;
        // Whole multiples of 1/16 s: the product is the exact sum of the samples' intervals.
        cells_[i].samples += n;
        cells_[i].seconds += double(n) * interval;
    }
    sideSeconds_[kAbove] += double(above - both) * interval;
    sideSeconds_[kBelow] += double(below - both) * interval;
    sideSeconds_[kAbove | kBelow] += double(both) * interval;
    sideSeconds_[0] += double(taken - above - below + both) * interval;
}

LimitSeconds BandTally::limitSeconds() const {
    return {sideSeconds_[kAbove] + sideSeconds_[kAbove | kBelow], sideSeconds_[0],
            sideSeconds_[kBelow] + sideSeconds_[kAbove | kBelow]};
}

BandTable BandTally::table(int hundredthsPerBand) const {
    BandTable t = BandTable::ofWidth(hundredthsPerBand);
    const LimitSeconds sides = limitSeconds();
    t.secondsAbove = sides.above;
    t.secondsBetween = sides.between;
    t.secondsBelow = sides.below;
    const auto first =
        std::find_if(cells_.begin(), cells_.end(), [](const Cell& c) { return c.samples > 0; });
    if (first == cells_.end())
        return t;
    const auto last =
        std::find_if(cells_.rbegin(), cells_.rend(), [](const Cell& c) { return c.samples > 0; });
    const auto bandOf = [&](std::size_t i) {
        return floorDivide(base_ + std::int64_t(i), hundredthsPerBand);
    };
    const auto from = std::size_t(first - cells_.begin());
    const auto to = std::size_t(cells_.rend() - last);
    t.firstBand = bandOf(from);
    t.bands.resize(std::size_t(bandOf(to - 1) - t.firstBand + 1));
    for (std::size_t i = from; i < to; ++i) {
        Band& b = t.bands[std::size_t(bandOf(i) - t.firstBand)];
        b.samples += cells_[i].samples;
        b.seconds += cells_[i].seconds;
    }
    return t;
}

} // namespace veltrano
