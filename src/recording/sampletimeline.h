#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace veltrano {

// When each stored sample of one quantity was taken, in seconds of the decoder's clock. The
// clock moves by the interval in force at every stored sample, so the samples fall into
// stretches of one interval; a new stretch starts where a recording starts or the interval
// changes. Every interval and start offset is a multiple of 1/16 s, so the times come out
// exactly as the decoder's running clock had them.
class SampleTimeline {
public:
    struct Stretch {
        std::int32_t first; // index of its first sample (the arrays count from 1)
        double clockBefore; // the clock just before that sample was taken
        double interval;    // seconds from one sample to the next, and to the first

        // Seconds of a sample of this stretch: the one formula for a sample's clock.
        double seconds(std::int32_t index) const {
            return clockBefore + double(index - first + 1) * interval;
        }
    };

    void clear() { stretches_.clear(); }
    // From sample `first` on, until the next stretch. A stretch that would hold no sample
    // is replaced.
    void startStretch(std::int32_t first, double clockBefore, double interval) {
        if (!stretches_.empty() && stretches_.back().first == first)
            stretches_.back() = {first, clockBefore, interval};
        else
            stretches_.push_back({first, clockBefore, interval});
    }

    // Seconds of sample `index` (1 up to the sample count).
    double seconds(std::int32_t index) const { return stretchOf(index).seconds(index); }
    // The interval in force when sample `index` was taken: the time it stands for.
    double interval(std::int32_t index) const { return stretchOf(index).interval; }

    const std::vector<Stretch>& stretches() const { return stretches_; }

    // The stretch that holds sample `index`; there must be one.
    const Stretch& stretchOf(std::int32_t index) const {
        // The last stretch that starts at or before the index.
        auto it = std::upper_bound(stretches_.begin(), stretches_.end(), index,
                                   [](std::int32_t i, const Stretch& s) { return i < s.first; });
        return it == stretches_.begin() ? *it : *(it - 1);
    }

    // Walks the samples in increasing index order, stepping from one stretch to the next
    // instead of searching for each sample: the exports and the per-day figures walk millions
    // of samples this way.
    class Cursor {
    public:
        Cursor(const SampleTimeline& timeline, std::int32_t index)
            : at_(timeline.stretches_.data()),
              end_(timeline.stretches_.data() + timeline.stretches_.size()) {
            if (at_ != end_)
                at_ = &timeline.stretchOf(index);
        }
        // The stretch of sample `index`, not below the one asked before; null without
        // stretches.
        const Stretch* stretch(std::int32_t index) {
            if (at_ == end_)
                return nullptr;
            while (at_ + 1 != end_ && at_[1].first <= index)
                ++at_;
            return at_;
        }
        // The last sample up to `last` that the stretch at hand holds.
        std::int32_t lastOfStretch(std::int32_t last) const {
            return at_ != end_ && at_ + 1 != end_ && at_[1].first <= last ? at_[1].first - 1 : last;
        }
        // Seconds of sample `index`, as stretch() goes; NaN without stretches.
        double seconds(std::int32_t index) {
            const Stretch* s = stretch(index);
            return s ? s->seconds(index) : std::numeric_limits<double>::quiet_NaN();
        }

    private:
        const Stretch* at_;
        const Stretch* end_;
    };

private:
    std::vector<Stretch> stretches_;
};

} // namespace veltrano
