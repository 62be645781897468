#include "daytally.h"

#include <cmath>

namespace veltrano {

namespace {
// Seconds whose clock time the exports write: within QDateTime's range and exact in a double.
bool hasClockTime(double seconds) {
    return std::fabs(seconds) < 9e15;
}
} // namespace

void DayTally::enter(Lane& lane, double seconds) {
    lane.current = nullptr;
    if (!hasClockTime(seconds)) {
        lane.from = lane.to = 0;
        return;
    }
    const std::int64_t second = roundedSeconds(seconds);
    WallClock::DaySpan span{};
    if (!clock_.daySpan(second, span)) {
        // A moment without a clock time counts on no day, as it has none in the exports.
        lane.from = double(second);
        lane.to = double(second) + 1;
        return;
    }
    lane.from = double(span.from);
    lane.to = double(span.to);
    lane.clockBase = span.clockBase;
    lane.current = &(days_[span.day].*lane.figures);
}

DayFigures DayTally::figuresOf(const Figures& f) {
    DayFigures out;
    out.count = f.count;
    out.sum = f.sum;
    if (f.count > 0) {
        out.min = f.min;
        out.max = f.max;
        out.minTime = QTime::fromMSecsSinceStartOfDay(f.minSecond * 1000);
        out.maxTime = QTime::fromMSecsSinceStartOfDay(f.maxSecond * 1000);
    }
    return out;
}

DayTable DayTally::table(const std::vector<ClosedEvent>& events) {
    for (const ClosedEvent& e : events) {
        WallClock::DaySpan span{};
        if (!hasClockTime(e.moment) || !clock_.daySpan(roundedSeconds(e.moment), span))
            continue;
        const auto day = days_.find(span.day);
        if (day != days_.end())
            ++day->second.events;
    }
    DayTable table;
    table.reserve(days_.size());
    for (const auto& [number, day] : days_)
        table.push_back({WallClock::dateOfDay(number), figuresOf(day.voltage),
                         figuresOf(day.temperature), day.events});
    return table;
}

} // namespace veltrano
