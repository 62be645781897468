#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "recording/sampletimeline.h"

namespace veltrano {

struct ProcessingResult;

// One quantity's samples between two times.
struct RangeFigures {
    std::int32_t count = 0;
    // Meaningful only when count > 0.
    float minimum = 0;
    float maximum = 0;
    double mean = 0;
    // Each sample above the upper limit (below the lower one) counts for the interval in force
    // when it was taken.
    double secondsAbove = 0;
    double secondsBelow = 0;
};

struct RangeStatistics {
    RangeFigures voltage;
    RangeFigures temperature;
};

// Summaries of one quantity's samples in blocks of kBlockSize, so that a range costs one look
// at every block and a scan of the few blocks a line cuts through. Prefix sums over every
// sample would answer faster but take 16 bytes a sample; the blocks take 40 bytes per 1,024.
// The samples stay in the caller's arrays, which must outlive the blocks.
class SampleBlocks {
public:
    static constexpr std::int32_t kBlockSize = 1024;

    SampleBlocks() = default;
    // Samples 1 to count of the decoder's arrays; `above` and `below` are the float forms of the
    // limits (floorFloat of the upper, ceilFloat of the lower), compared as the events do.
    SampleBlocks(const float* times, const float* values, std::int32_t count,
                 const SampleTimeline& timeline, float above, float below);

    // The samples whose stored time lies between a and b, both included, in either order.
    RangeFigures between(double a, double b) const;
    bool empty() const { return count_ == 0; }
    std::size_t memoryBytes() const;

private:
    struct Block {
        // Times can go back where a new recording starts, so a block is placed by its extent
        // rather than by its first and last sample.
        float minTime, maxTime;
        float minValue, maxValue;
        double sum;
        double secondsAbove, secondsBelow;
    };
    struct Walker;

    void scan(std::int32_t begin, std::int32_t end, double lo, double hi, RangeFigures& out,
              double& sum) const;

    const float* times_ = nullptr;
    const float* values_ = nullptr;
    std::int32_t count_ = 0;
    std::vector<SampleTimeline::Stretch> stretches_;
    float above_ = 0;
    float below_ = 0;
    std::vector<Block> blocks_;
};

// The statistics between the measuring lines, for both quantities of one run. Built once per
// run (on the run's worker: it touches no widget), it references the run's sample arrays.
class RangeStatisticsIndex {
public:
    RangeStatisticsIndex() = default; // no samples

    // Between times a and b in the run's unit, in either order.
    RangeStatistics between(double a, double b) const;
    bool empty() const { return voltage_.empty() && temperature_.empty(); }
    std::size_t memoryBytes() const { return voltage_.memoryBytes() + temperature_.memoryBytes(); }

private:
    friend RangeStatisticsIndex buildRangeStatistics(const ProcessingResult& result);

    SampleBlocks voltage_;
    SampleBlocks temperature_;
};

// The index of a run's samples with the run's limits; the result's sample arrays must outlive
// it.
RangeStatisticsIndex buildRangeStatistics(const ProcessingResult& result);

// A duration in whole seconds as "2 d 3 u 4 m 5 s", leading zero parts left out ("4 m 0 s",
// "0 s"); the nearest second.
QString shortDurationText(double seconds);

} // namespace veltrano
