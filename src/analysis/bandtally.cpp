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
