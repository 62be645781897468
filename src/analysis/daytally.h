#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <vector>

#include <QDateTime>

#include "analysis/daily.h"
#include "analysis/events.h"
#include "analysis/wallclock.h"

namespace veltrano {

// Gathers the per-day figures while a run goes. A sample's clock second is "Datum aansluiting"
// plus its seconds rounded as every clock time is (roundedSeconds); each quantity keeps the
// span of clock seconds that lies on its current day, so a sample only compares against that
// span and the clock is asked again when a sample leaves it.
class DayTally {
public:
    explicit DayTally(const QDateTime& start) : clock_(start) {}

    void voltage(float value, double seconds) { add(voltage_, value, seconds); }
    void temperature(float value, double seconds) { add(temperature_, value, seconds); }

    // The days in date order, with the reported events counted on the day of their begin.
    DayTable table(const std::vector<ClosedEvent>& events);

private:
    struct Figures {
        std::int64_t count = 0;
        double sum = 0;
        float min = std::numeric_limits<float>::infinity();
        float max = -std::numeric_limits<float>::infinity();
        std::int32_t minSecond = 0; // of the day
        std::int32_t maxSecond = 0;
    };
    struct Day {
        Figures voltage;
        Figures temperature;
        std::int64_t events = 0;
    };
    // One quantity's current day: the rounding's sums seconds + 0.5 in [from, to) lie on it.
    struct Lane {
        Figures Day::*figures;
        double from = 0;
        double to = 0; // from == to: no current day yet
        std::int64_t clockBase = 0;
        Figures* current = nullptr;
    };

    void add(Lane& lane, float value, double seconds) {
        const double half = seconds + 0.5; // as roundedSeconds adds it
        if (!(half >= lane.from && half < lane.to))
            enter(lane, seconds);
        Figures* f = lane.current;
        if (!f)
            return;
        ++f->count;
        f->sum += value;
        // Strictly: the first sample with the extreme keeps its time.
        if (value < f->min) {
            f->min = value;
            f->minSecond = std::int32_t(roundedSeconds(seconds) + lane.clockBase);
        }
        if (value > f->max) {
            f->max = value;
            f->maxSecond = std::int32_t(roundedSeconds(seconds) + lane.clockBase);
        }
    }
    void enter(Lane& lane, double seconds);
    static DayFigures figuresOf(const Figures& f);

    WallClock clock_;
    std::map<std::int64_t, Day> days_; // by day since 1970-01-01
    Lane voltage_{&Day::voltage};
    Lane temperature_{&Day::temperature};
};

} // namespace veltrano
