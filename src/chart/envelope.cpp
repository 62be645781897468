#include "chart/envelope.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace veltrano {

namespace {

inline void widen(Envelope::Range& r, float v) {
    r.min = v < r.min ? v : r.min;
    r.max = v > r.max ? v : r.max;
}

inline void widen(Envelope::Range& r, const Envelope::Range& o) {
    r.min = o.min < r.min ? o.min : r.min;
    r.max = o.max > r.max ? o.max : r.max;
}

// The lowest and highest of one full leaf. Four partial ranges side by side, each taking
// values as widen() does (a NaN never enters), so the compiler can keep them in one vector
// register; the order of comparing can only pick -0 over +0 or back, which draws the same.
inline Envelope::Range leafRange(const float* v) {
    float lo[4], hi[4];
    for (int k = 0; k < 4; ++k) {
        lo[k] = std::numeric_limits<float>::infinity();
        hi[k] = -std::numeric_limits<float>::infinity();
    }
    for (std::size_t j = 0; j < Envelope::kLeafSize; j += 4) {
        for (int k = 0; k < 4; ++k) {
            const float x = v[j + std::size_t(k)];
            lo[k] = x < lo[k] ? x : lo[k];
            hi[k] = x > hi[k] ? x : hi[k];
        }
    }
    Envelope::Range r{lo[0], hi[0]};
    for (int k = 1; k < 4; ++k) {
        r.min = lo[k] < r.min ? lo[k] : r.min;
        r.max = hi[k] > r.max ? hi[k] : r.max;
    }
    return r;
}

constexpr Envelope::Range kEmpty{std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity()};

// A column holding at most this many samples is drawn from the samples themselves.
constexpr std::size_t kRawColumn = 4;

} // namespace

void Envelope::build(const float* times, const float* values, std::size_t count) {
    clear();
    if (count == 0 || times == nullptr || values == nullptr) {
        return;
    }
    times_ = times;
    values_ = values;
    count_ = count;

    std::vector<Range> leaves((count + kLeafSize - 1) / kLeafSize);
    const std::size_t whole = count / kLeafSize;
    for (std::size_t leaf = 0; leaf < whole; ++leaf) {
        leaves[leaf] = leafRange(values + leaf * kLeafSize);
    }
    if (whole < leaves.size()) {
        Range r = kEmpty;
        for (std::size_t i = whole * kLeafSize; i < count; ++i) {
            widen(r, values[i]);
        }
        leaves[whole] = r;
    }
    levels_.push_back(std::move(leaves));
    while (levels_.back().size() > 1) {
        const std::vector<Range>& below = levels_.back();
        std::vector<Range> above((below.size() + 1) / 2);
        for (std::size_t j = 0; j < above.size(); ++j) {
            Range r = below[2 * j];
            if (2 * j + 1 < below.size()) {
                widen(r, below[2 * j + 1]);
            }
            above[j] = r;
        }
        levels_.push_back(std::move(above));
    }

    runs_.push_back(0);
    // Time goes back rarely: look for it eight samples at a time.
    std::size_t i = 1;
    for (; i + 8 <= count; i += 8) {
        bool back = false;
        for (std::size_t k = 0; k < 8; ++k) {
            back |= times[i + k] < times[i + k - 1];
        }
        if (back) {
            for (std::size_t k = 0; k < 8; ++k) {
                if (times[i + k] < times[i + k - 1]) {
                    runs_.push_back(i + k);
                }
            }
        }
    }
    for (; i < count; ++i) {
        if (times[i] < times[i - 1]) {
            runs_.push_back(i);
        }
    }
    minTime_ = times[0];
    maxTime_ = times[count - 1];
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        const std::size_t last = (r + 1 < runs_.size() ? runs_[r + 1] : count) - 1;
        minTime_ = std::min<double>(minTime_, times[runs_[r]]);
        maxTime_ = std::max<double>(maxTime_, times[last]);
    }
}

void Envelope::clear() {
    times_ = nullptr;
    values_ = nullptr;
    count_ = 0;
    levels_.clear();
    runs_.clear();
    minTime_ = maxTime_ = 0.0;
}

bool Envelope::timeExtent(double& lo, double& hi) const {
    if (count_ == 0) {
        return false;
    }
    lo = minTime_;
    hi = maxTime_;
    return true;
}

bool Envelope::valueExtent(double& lo, double& hi) const {
    if (count_ == 0) {
        return false;
    }
    lo = levels_.back()[0].min;
    hi = levels_.back()[0].max;
    return true;
}

Envelope::Range Envelope::rangeMinMax(std::size_t begin, std::size_t end) const {
    Range r = kEmpty;
    std::size_t a = (begin + kLeafSize - 1) / kLeafSize;
    std::size_t b = end / kLeafSize;
    if (a >= b) {
        for (std::size_t i = begin; i < end; ++i) {
            widen(r, values_[i]);
        }
        return r;
    }
    for (std::size_t i = begin; i < a * kLeafSize; ++i) {
        widen(r, values_[i]);
    }
    for (std::size_t i = b * kLeafSize; i < end; ++i) {
        widen(r, values_[i]);
    }
    for (std::size_t lv = 0; a < b; ++lv) {
        const std::vector<Range>& cells = levels_[lv];
        if (a & 1) {
            widen(r, cells[a++]);
        }
        if (b & 1) {
            widen(r, cells[--b]);
        }
        a >>= 1;
        b >>= 1;
    }
    return r;
}

Envelope::Range Envelope::lineExtent(double lo, double hi) const {
    Range r = kEmpty;
    if (!(lo <= hi)) {
        return r;
    }
    // Value of the segment from sample i - 1 to sample i at time t.
    auto at = [&](std::size_t i, double t) {
        const double t0 = times_[i - 1], t1 = times_[i];
        const double v0 = values_[i - 1], v1 = values_[i];
        return float(t1 > t0 ? v0 + (v1 - v0) * (t - t0) / (t1 - t0) : v1);
    };
    for (std::size_t k = 0; k < runs_.size(); ++k) {
        const std::size_t begin = runs_[k];
        const std::size_t end = k + 1 < runs_.size() ? runs_[k + 1] : count_;
        if (times_[begin] > hi || times_[end - 1] < lo) {
            continue;
        }
        const float* first = std::lower_bound(times_ + begin, times_ + end, lo,
                                              [](float t, double x) { return t < x; });
        const float* past = std::upper_bound(times_ + begin, times_ + end, hi,
                                             [](double x, float t) { return x < t; });
        const std::size_t a = std::size_t(first - times_), b = std::size_t(past - times_);
        if (a < b) {
            widen(r, rangeMinMax(a, b));
        }
        if (a > begin && a < end) {
            widen(r, at(a, lo));
        }
        if (b > begin && b < end) {
            widen(r, at(b, hi));
        }
    }
    return r;
}

void Envelope::reduce(double lo, double hi, int columns, std::vector<Point>& out) const {
    out.clear();
    if (count_ == 0 || columns <= 0 || !(hi > lo)) {
        return;
    }
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        const std::size_t end = r + 1 < runs_.size() ? runs_[r + 1] : count_;
        reduceRun(runs_[r], end, lo, hi, columns, out);
    }
}

void Envelope::reduceRun(std::size_t begin, std::size_t end, double lo, double hi, int columns,
                         std::vector<Point>& out) const {
    const double scale = columns / (hi - lo);
    const double width = columns;
    auto column = [&](std::size_t i) { return std::floor((double(times_[i]) - lo) * scale); };
    auto keep = [&](std::size_t i) { out.push_back({times_[i], values_[i]}); };
    // First index in [from, end) whose column is above `limit`; time never decreases here.
    // The search starts at from + guess and gallops from there: with a good guess (the
    // previous column's sample count) it touches two neighbouring samples only.
    auto firstAbove = [&](std::size_t from, double limit, std::size_t guess) {
        if (from >= end || column(from) > limit) {
            return from;
        }
        std::size_t below = from; // column(below) <= limit
        std::size_t above = end;  // column(above) > limit, or the end
        const std::size_t g = from + std::max<std::size_t>(guess, 1);
        std::size_t step = 1;
        if (g < end && column(g) > limit) {
            above = g;
            while (above - below > step) {
                const std::size_t probe = above - step;
                if (column(probe) > limit) {
                    above = probe;
                    step *= 2;
                } else {
                    below = probe;
                    break;
                }
            }
        } else {
            below = std::min(g, end - 1);
            while (below + step < end) {
                if (column(below + step) > limit) {
                    above = below + step;
                    break;
                }
                below += step;
                step *= 2;
            }
        }
        while (above - below > 1) {
            const std::size_t mid = below + (above - below) / 2;
            if (column(mid) > limit) {
                above = mid;
            } else {
                below = mid;
            }
        }
        return above;
    };

    const std::size_t first = firstAbove(begin, -1.0, 1);     // first sample in view
    const std::size_t past = firstAbove(first, width - 1, 1); // first sample right of the view

    // Samples outside the view only matter as ends of the lines that enter it.
    if (first > begin) {
        if (first - 1 > begin) {
            keep(begin);
        }
        keep(first - 1);
    }
    std::size_t s = first;
    std::size_t guess = 1;
    while (s < past) {
        const double k = column(s);
        const std::size_t e = std::min(firstAbove(s, k, guess), past);
        guess = e - s;
        if (e - s <= kRawColumn) {
            for (std::size_t i = s; i < e; ++i) {
                keep(i);
            }
        } else {
            const Range r = rangeMinMax(s, e);
            const double centre = lo + (k + 0.5) / scale;
            // Visit the extremes in the order that keeps the column's line short.
            const float a = values_[s], b = values_[e - 1];
            const bool minFirst = std::abs(a - r.min) + std::abs(r.max - b) <=
                                  std::abs(a - r.max) + std::abs(r.min - b);
            keep(s);
            out.push_back({centre, minFirst ? r.min : r.max});
            out.push_back({centre, minFirst ? r.max : r.min});
            keep(e - 1);
        }
        s = e;
    }
    if (past < end) {
        keep(past);
        if (end - 1 > past) {
            keep(end - 1);
        }
    }
}

std::size_t Envelope::memoryBytes() const {
    std::size_t bytes = runs_.capacity() * sizeof(std::size_t);
    for (const auto& l : levels_) {
        bytes += l.capacity() * sizeof(Range);
    }
    return bytes;
}

} // namespace veltrano
