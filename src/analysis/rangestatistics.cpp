#include "analysis/rangestatistics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "analysis/events.h"
#include "analysis/processing.h"
#include "analysis/wallclock.h"

namespace veltrano {

// The interval in force at sample k, for k that only grow: one look at the stretches per
// stretch passed instead of a search per sample.
struct SampleBlocks::Walker {
    const std::vector<SampleTimeline::Stretch>& stretches;
    std::size_t next = 0;
    double interval = 0;

    Walker(const std::vector<SampleTimeline::Stretch>& s, std::int32_t first) : stretches(s) {
        // The last stretch that starts at or before `first`, as SampleTimeline picks it.
        const auto it =
            std::upper_bound(s.begin(), s.end(), first,
                             [](std::int32_t i, const auto& stretch) { return i < stretch.first; });
        const std::size_t at = it == s.begin() ? 0 : std::size_t(it - s.begin()) - 1;
        interval = s.empty() ? 0.0 : s[at].interval;
        next = at + 1;
    }
    double at(std::int32_t k) {
        while (next < stretches.size() && stretches[next].first <= k)
            interval = stretches[next++].interval;
        return interval;
    }
    // Where the interval changes next, after the sample last asked for.
    std::int32_t nextStart() const {
        return next < stretches.size() ? stretches[next].first
                                       : std::numeric_limits<std::int32_t>::max();
    }
};

namespace {

// What samples taken at one interval add to a block.
struct Partial {
    float minTime, maxTime, minValue, maxValue;
    double sum;
    std::int32_t above, below;
};

// Four samples at a time in vector registers: the index reads every sample of a run once, and
// one at a time the chains of minimum, maximum and sum took twice the time of reading them. A
// NaN never enters a minimum or maximum; the sum comes out in another order than one by one,
// which changes only its last bits.
using Floats = float __attribute__((vector_size(16)));
using Doubles = double __attribute__((vector_size(16)));
using Counts = std::int32_t __attribute__((vector_size(16)));

Partial summarise(const float* times, const float* values, std::int32_t n, float above,
                  float below) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    Floats tLow = {inf, inf, inf, inf}, tHigh = -tLow, vLow = tLow, vHigh = tHigh;
    Doubles sumLow = {0, 0}, sumHigh = {0, 0};
    Counts up = {0, 0, 0, 0}, down = up;
    std::int32_t k = 0;
    for (; k + 4 <= n; k += 4) {
        Floats t, v;
        std::memcpy(&t, times + k, sizeof t);
        std::memcpy(&v, values + k, sizeof v);
        tLow = t < tLow ? t : tLow;
        tHigh = t > tHigh ? t : tHigh;
        vLow = v < vLow ? v : vLow;
        vHigh = v > vHigh ? v : vHigh;
        sumLow += __builtin_convertvector(__builtin_shufflevector(v, v, 0, 1), Doubles);
        sumHigh += __builtin_convertvector(__builtin_shufflevector(v, v, 2, 3), Doubles);
        // A true comparison is -1 in every bit.
        up -= v > above;
        down -= v < below;
    }
    Partial p{std::min({tLow[0], tLow[1], tLow[2], tLow[3]}),
              std::max({tHigh[0], tHigh[1], tHigh[2], tHigh[3]}),
              std::min({vLow[0], vLow[1], vLow[2], vLow[3]}),
              std::max({vHigh[0], vHigh[1], vHigh[2], vHigh[3]}),
              (sumLow[0] + sumLow[1]) + (sumHigh[0] + sumHigh[1]),
              up[0] + up[1] + up[2] + up[3],
              down[0] + down[1] + down[2] + down[3]};
    for (; k < n; ++k) {
        const float t = times[k], v = values[k];
        p.minTime = t < p.minTime ? t : p.minTime;
        p.maxTime = t > p.maxTime ? t : p.maxTime;
        p.minValue = v < p.minValue ? v : p.minValue;
        p.maxValue = v > p.maxValue ? v : p.maxValue;
        p.sum += v;
        p.above += v > above;
        p.below += v < below;
    }
    return p;
}

} // namespace

SampleBlocks::SampleBlocks(const float* times, const float* values, std::int32_t count,
                           const SampleTimeline& timeline, float above, float below)
    : times_(times), values_(values), count_(times && values && count > 0 ? count : 0),
      stretches_(timeline.stretches()), above_(above), below_(below) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    blocks_.reserve(std::size_t(count_ / kBlockSize + 1));
    Walker walker(stretches_, 1);
    for (std::int32_t begin = 1; begin <= count_; begin += kBlockSize) {
        const std::int32_t end = std::min(count_ + 1, begin + kBlockSize);
        Block b{inf, -inf, inf, -inf, 0.0, 0.0, 0.0};
        // In pieces of one interval each: the block's times count the interval per sample.
        for (std::int32_t from = begin; from < end;) {
            const double interval = walker.at(from);
            const std::int32_t to = std::min(end, walker.nextStart());
            const Partial p = summarise(times_ + from, values_ + from, to - from, above_, below_);
            b.minTime = std::min(b.minTime, p.minTime);
            b.maxTime = std::max(b.maxTime, p.maxTime);
            b.minValue = std::min(b.minValue, p.minValue);
            b.maxValue = std::max(b.maxValue, p.maxValue);
            b.sum += p.sum;
            b.secondsAbove += p.above * interval;
            b.secondsBelow += p.below * interval;
            from = to;
        }
        blocks_.push_back(b);
    }
}

std::size_t SampleBlocks::memoryBytes() const {
    return blocks_.capacity() * sizeof(Block) +
           stretches_.capacity() * sizeof(SampleTimeline::Stretch);
}

void SampleBlocks::scan(std::int32_t begin, std::int32_t end, double lo, double hi,
                        RangeFigures& out, double& sum) const {
    Walker walker(stretches_, begin);
    for (std::int32_t k = begin; k < end; ++k) {
        const double t = times_[k];
        if (!(lo <= t && t <= hi))
            continue;
        const float v = values_[k];
        ++out.count;
        sum += v;
        out.minimum = std::min(out.minimum, v);
        out.maximum = std::max(out.maximum, v);
        const double interval = walker.at(k);
        if (v > above_)
            out.secondsAbove += interval;
        if (v < below_)
            out.secondsBelow += interval;
    }
}

RangeFigures SampleBlocks::between(double a, double b) const {
    RangeFigures out;
    if (std::isnan(a) || std::isnan(b))
        return out;
    const double lo = std::min(a, b), hi = std::max(a, b);
    out.minimum = std::numeric_limits<float>::infinity();
    out.maximum = -std::numeric_limits<float>::infinity();
    double sum = 0;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        const Block& block = blocks_[i];
        if (double(block.maxTime) < lo || double(block.minTime) > hi)
            continue;
        const std::int32_t begin = 1 + std::int32_t(i) * kBlockSize;
        const std::int32_t end = std::min(count_ + 1, begin + kBlockSize);
        if (lo <= double(block.minTime) && double(block.maxTime) <= hi) {
            out.count += end - begin;
            sum += block.sum;
            out.minimum = std::min(out.minimum, block.minValue);
            out.maximum = std::max(out.maximum, block.maxValue);
            out.secondsAbove += block.secondsAbove;
            out.secondsBelow += block.secondsBelow;
        } else {
            scan(begin, end, lo, hi, out, sum);
        }
    }
    if (out.count > 0) {
        out.mean = sum / out.count;
    } else {
        out.minimum = 0;
        out.maximum = 0;
    }
    return out;
}

RangeStatistics RangeStatisticsIndex::between(double a, double b) const {
    return {voltage_.between(a, b), temperature_.between(a, b)};
}

RangeStatisticsIndex buildRangeStatistics(const ProcessingResult& result) {
    const Samples& s = result.samples;
    const Limits& l = result.limits;
    RangeStatisticsIndex index;
    index.voltage_ =
        SampleBlocks(s.voltageTimes.get(), s.voltageValues.get(), s.voltageSampleCount,
                     s.voltageTimeline, floorFloat(l.overVoltage), ceilFloat(l.underVoltage));
    index.temperature_ = SampleBlocks(s.temperatureTimes.get(), s.temperatureValues.get(),
                                      s.temperatureSampleCount, s.temperatureTimeline,
                                      floorFloat(l.overTemperature), ceilFloat(l.underTemperature));
    return index;
}

QString shortDurationText(double seconds) {
    if (!hasClockTime(seconds))
        return QStringLiteral("-");
    const std::int64_t whole = std::max<std::int64_t>(0, roundedSeconds(seconds));
    const std::int64_t parts[] = {whole / 86400, whole / 3600 % 24, whole / 60 % 60, whole % 60};
    static const char* const kNames[] = {" d", " u", " m", " s"};
    QString out;
    for (int i = 0; i < 4; ++i) {
        if (!out.isEmpty() || parts[i] != 0 || i == 3) {
            if (!out.isEmpty())
                out += QLatin1Char(' ');
            out += QString::number(parts[i]) + QLatin1String(kNames[i]);
        }
    }
    return out;
}

} // namespace veltrano
