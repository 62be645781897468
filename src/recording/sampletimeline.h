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
    double seconds(std::int32_t index) const {
        const Stretch& s = stretchOf(index);
        return s.clockBefore + double(index - s.first + 1) * s.interval;
    }
    // The interval in force when sample `index` was taken: the time it stands for.
    double interval(std::int32_t index) const { return stretchOf(index).interval; }

    const std::vector<Stretch>& stretches() const { return stretches_; }

    // Reads the seconds of samples in increasing index order, stepping from one stretch to the
    // next instead of searching for each sample: the exports walk millions of rows this way.
    class Cursor {
    public:
        Cursor(const SampleTimeline& timeline, std::int32_t index)
            : at_(timeline.stretches_.data()),
              end_(timeline.stretches_.data() + timeline.stretches_.size()) {
            if (at_ != end_)
                at_ = &timeline.stretchOf(index);
        }
        // Seconds of sample `index`, not below the one asked before; NaN without stretches.
        double seconds(std::int32_t index) {
            if (at_ == end_)
                return std::numeric_limits<double>::quiet_NaN();
            while (at_ + 1 != end_ && at_[1].first <= index)
                ++at_;
            return at_->clockBefore + double(index - at_->first + 1) * at_->interval;
        }

    private:
        const Stretch* at_;
        const Stretch* end_;
    };

private:
    const Stretch& stretchOf(std::int32_t index) const {
        // The last stretch that starts at or before the index.
        auto it = std::upper_bound(stretches_.begin(), stretches_.end(), index,
                                   [](std::int32_t i, const Stretch& s) { return i < s.first; });
        return it == stretches_.begin() ? *it : *(it - 1);
    }

    std::vector<Stretch> stretches_;
};

} // namespace veltrano
