#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace veltrano {

// A min/max pyramid over one sample series, so that a drawing costs about
// O(columns x log n) whatever the zoom. The series stays in the caller's arrays; the
// pyramid only references them and must be rebuilt (or cleared) before they go away.
class Envelope {
public:
    struct Range {
        float min;
        float max;
    };
    struct Point {
        double time;
        double value;
    };

    // Leaf cells of the pyramid cover this many samples; each level above halves the count.
    static constexpr std::size_t kLeafSize = 16;

    void build(const float* times, const float* values, std::size_t count);
    void clear();

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const float* times() const { return times_; }
    const float* values() const { return values_; }

    // Extent of the whole series (false when empty).
    bool timeExtent(double& lo, double& hi) const;
    bool valueExtent(double& lo, double& hi) const;

    // The polyline to draw for [lo, hi] spread over `columns` pixel columns: per column the
    // first sample, the lowest and highest (placed at the column's centre) and the last
    // sample; raw samples where a column holds only a few. The last sample before lo and
    // the first after hi are included so the line runs on to the plot's edges. Samples
    // that go back in time start a new stretch, which is reduced on its own.
    void reduce(double lo, double hi, int columns, std::vector<Point>& out) const;

    // Lowest and highest value of samples [begin, end); begin < end.
    Range rangeMinMax(std::size_t begin, std::size_t end) const;

    // Lowest and highest value that the line through the samples takes within the time
    // window [lo, hi], including where it crosses the window's edges; min > max when the
    // line does not reach the window. Each stretch counts on its own: the jump back in time
    // between two stretches is no part of the line. O(stretches x log n).
    Range lineExtent(double lo, double hi) const;

    std::size_t levelCount() const { return levels_.size(); }
    std::span<const Range> level(std::size_t i) const { return levels_[i]; }
    // Start indexes of the stretches in which time never decreases.
    std::span<const std::size_t> runStarts() const { return runs_; }
    // Heap memory held by the pyramid itself (not the referenced arrays).
    std::size_t memoryBytes() const;

private:
    void reduceRun(std::size_t begin, std::size_t end, double lo, double hi, int columns,
                   std::vector<Point>& out) const;

    const float* times_ = nullptr;
    const float* values_ = nullptr;
    std::size_t count_ = 0;
    std::vector<std::vector<Range>> levels_;
    std::vector<std::size_t> runs_;
    double minTime_ = 0.0;
    double maxTime_ = 0.0;
};

} // namespace veltrano
