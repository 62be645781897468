#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <vector>

#include <QDateTime>

#include "analysis/bandtally.h"
#include "analysis/daily.h"
#include "analysis/events.h"
#include "analysis/wallclock.h"
#include "recording/decoder.h"

namespace veltrano {

// The per-day and band figures of a run, gathered from the stored samples block by block
// while they are still in the cache. A sample's clock second is "Datum aansluiting" plus its
// seconds rounded as every clock time is (roundedSeconds). A block is taken in pieces that
// share a stretch of the timeline and a calendar day, so that a sample only joins its piece's
// sums.
class RunFigures {
public:
    RunFigures(const QDateTime& start, const Limits& limits);

    void take(const StoredSamples& stored, const Samples& samples);

    // The days in date order, with the reported events counted on the day of their begin.
    DayTable days(const std::vector<ClosedEvent>& events);
    BandTable voltageBands() const { return voltage_.bands.table(10); }
    BandTable temperatureBands() const { return temperature_.bands.table(100); }
    LimitSeconds voltageLimitSeconds() const { return voltage_.bands.limitSeconds(); }
    LimitSeconds temperatureLimitSeconds() const { return temperature_.bands.limitSeconds(); }

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
    // One quantity: its bands and its current day, the clock seconds [from, to).
    struct Quantity {
        Figures Day::*figures;
        BandTally bands;
        std::int64_t from = 0;
        std::int64_t to = 0; // from == to: no current day
        std::int64_t clockBase = 0;
        Figures* current = nullptr;
    };

    void take(Quantity& q, const float* values, std::int32_t first, std::int32_t count,
              const SampleTimeline& timeline);
    void enter(Quantity& q, double seconds);
    // Samples first up to last of one stretch and, with onDay, of the quantity's current day.
    void addPiece(Quantity& q, const float* values, std::int32_t first, std::int32_t last,
                  const SampleTimeline::Stretch& stretch, bool onDay);
    struct PieceFigures;
    PieceFigures countVoltages(const float* values, std::int32_t count, double interval,
                               double sumBefore);
    static DayFigures figuresOf(const Figures& f);

    // Voltages are stored rounded to hundredths (voltageFromRaw), so a count per hundredth
    // stands for the value itself: a piece's voltages are counted in these cells and then
    // folded into the day and the bands, a few hundred cells instead of every sample. Rows
    // taken in turn, as a value repeats many times in a row and one counter would wait for its
    // own previous increment.
    static constexpr std::uint32_t kVoltageCells = 1u << 14; // up to 163.83 V
    static constexpr std::uint32_t kCountRows = 4;
    std::vector<std::uint32_t> voltageCounts_;

    bool hasClock_;
    WallClock clock_;
    std::map<std::int64_t, Day> days_; // by day since 1970-01-01
    Quantity voltage_;
    Quantity temperature_;
};

} // namespace veltrano
