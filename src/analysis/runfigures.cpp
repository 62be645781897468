#include "runfigures.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace veltrano {

namespace {
// The hundredths of a voltage, rounded halves to even, by adding 1.5 * 2^23 in a float; any
// value below 0, beyond 2^22 hundredths or NaN comes out as 2^31 or more.
std::uint32_t hundredthsCell(float value) {
    const float shifted = value * 100.0f + 0x1.8p23f;
    std::uint32_t bits;
    std::memcpy(&bits, &shifted, sizeof bits);
    return bits - 0x4B400000u;
}
} // namespace

// The extremes of a piece, each at its first sample, and the day's sum after it.
struct RunFigures::PieceFigures {
    double sum;
    float min, max;
    std::int32_t minAt = 0, maxAt = 0;
};

RunFigures::RunFigures(const QDateTime& start, const Limits& limits)
    : voltageCounts_(kCountRows * (kVoltageCells + 1)), hasClock_(start.isValid()),
      clock_(start), voltage_{&Day::voltage, BandTally(limits.overVoltage, limits.underVoltage)},
      temperature_{&Day::temperature, BandTally(limits.overTemperature, limits.underTemperature)} {}

void RunFigures::take(const StoredSamples& stored, const Samples& samples) {
    take(voltage_, stored.voltages, stored.firstVoltage, stored.voltageCount,
         samples.voltageTimeline);
    take(temperature_, stored.temperatures, stored.firstTemperature, stored.temperatureCount,
         samples.temperatureTimeline);
}

void RunFigures::take(Quantity& q, const float* values, std::int32_t first, std::int32_t count,
                      const SampleTimeline& timeline) {
    if (count <= 0)
        return;
    const std::int32_t last = first + count - 1;
    SampleTimeline::Cursor cursor(timeline, first);
    std::int32_t index = first;
    while (index <= last) {
        const SampleTimeline::Stretch* s = cursor.stretch(index);
        if (!s)
            return; // every stored sample lies in a stretch
        const std::int32_t end = cursor.lastOfStretch(last);
        if (!hasClock_) {
            addPiece(q, values + (index - first), index, end, *s, false);
            index = end + 1;
            continue;
        }
        while (index <= end) {
            const double seconds = s->seconds(index);
            const double half = seconds + 0.5; // as roundedSeconds adds it
            if (!(half >= double(q.from) && half < double(q.to)))
                enter(q, seconds);
            if (!q.current) {
                // No clock time, so on no day, as in the exports; in the bands all the same.
                addPiece(q, values + (index - first), index, index, *s, false);
                ++index;
                continue;
            }
            // The last sample of the stretch whose clock second lies before the day's end.
            std::int32_t pieceEnd = end;
            if (s->interval > 0) {
                const double steps = (double(q.to) - 0.5 - s->clockBefore) / s->interval;
                if (steps < double(end - s->first + 1))
                    pieceEnd = std::max(index, s->first - 1 + std::int32_t(std::ceil(steps)) - 1);
                while (pieceEnd < end && s->seconds(pieceEnd + 1) + 0.5 < double(q.to))
                    ++pieceEnd;
                while (pieceEnd > index && !(s->seconds(pieceEnd) + 0.5 < double(q.to)))
                    --pieceEnd;
            }
            addPiece(q, values + (index - first), index, pieceEnd, *s, true);
            index = pieceEnd + 1;
        }
    }
}

RunFigures::PieceFigures RunFigures::countVoltages(const float* v, std::int32_t n, double interval,
                                                   double sumBefore) {
    // Lowest and highest first, eight at a time in vector compares: with them in the cells'
    // range and no NaN among the values, the count needs neither a range check nor a compare
    // of its own.
    using Floats = float __attribute__((vector_size(16)));
    using Masks = std::int32_t __attribute__((vector_size(16)));
    float low = v[0], high = v[0];
    bool unordered = false;
    std::int32_t i = 0;
    if (n >= 8) {
        Masks nan{};
        Floats lows, highs;
        std::memcpy(&lows, v, sizeof lows);
        highs = lows;
        Floats lows2 = lows, highs2 = lows;
        for (; i + 8 <= n; i += 8) {
            Floats a, b;
            std::memcpy(&a, v + i, sizeof a);
            std::memcpy(&b, v + i + 4, sizeof b);
            lows = a < lows ? a : lows;
            highs = a > highs ? a : highs;
            lows2 = b < lows2 ? b : lows2;
            highs2 = b > highs2 ? b : highs2;
            nan |= (a != a) | (b != b);
        }
        for (int k = 0; k < 4; ++k)
            unordered |= nan[k] != 0;
        for (int k = 0; k < 4; ++k) {
            low = std::min({low, lows[k], lows2[k]});
            high = std::max({high, highs[k], highs2[k]});
        }
    }
    for (; i < n; ++i) {
        low = v[i] < low ? v[i] : low;
        high = v[i] > high ? v[i] : high;
        unordered |= std::isnan(v[i]);
    }
    unordered |= std::isnan(v[0]);
    PieceFigures p{sumBefore, low, high};
    constexpr std::uint32_t kRow = kVoltageCells + 1; // the last cell takes what lies outside
    std::uint32_t* const rows = voltageCounts_.data();
    const std::uint32_t lowest = hundredthsCell(low), highest = hundredthsCell(high);
    const auto countAll = [&](auto cellOf) {
        std::int32_t k = 0;
        for (; k + std::int32_t(kCountRows) <= n; k += std::int32_t(kCountRows))
            for (std::uint32_t r = 0; r < kCountRows; ++r)
                ++rows[r * kRow + cellOf(v[k + std::int32_t(r)])];
        for (; k < n; ++k)
            ++rows[cellOf(v[k])];
    };
    if (!unordered && lowest < kVoltageCells && highest < kVoltageCells) {
        // Four cells at once, as hundredthsCell() works them out one by one.
        using Cells = std::uint32_t __attribute__((vector_size(16)));
        static_assert(kCountRows == 4);
        const auto countFour = [&](const Floats& x) {
            const Floats shifted = x * 100.0f + 0x1.8p23f;
            Cells cells;
            std::memcpy(&cells, &shifted, sizeof cells);
            cells -= 0x4B400000u;
            ++rows[cells[0]];
            ++rows[kRow + cells[1]];
            ++rows[2 * kRow + cells[2]];
            ++rows[3 * kRow + cells[3]];
        };
        // A battery at rest holds its voltage to the hundredth for minutes or hours: eight
        // samples equal to the last one go into one running count instead of eight cells.
        float last = v[0];
        std::uint32_t same = 0;
        std::int32_t k = 0;
        for (; k + 8 <= n; k += 8) {
            Floats a, b;
            std::memcpy(&a, v + k, sizeof a);
            std::memcpy(&b, v + k + 4, sizeof b);
            const Floats lasts = Floats{} + last;
            const Masks equal = (a == lasts) & (b == lasts);
            if (equal[0] & equal[1] & equal[2] & equal[3]) {
                same += 8;
                continue;
            }
            rows[hundredthsCell(last)] += same;
            same = 0;
            countFour(a);
            countFour(b);
            last = v[k + 7];
        }
        rows[hundredthsCell(last)] += same;
        for (; k < n; ++k)
            ++rows[hundredthsCell(v[k])];
    } else {
        countAll([](float x) { return std::min(hundredthsCell(x), kVoltageCells); });
    }
    // A cell's count over the rows, which it leaves at zero for the next piece.
    const auto takeCell = [&](std::uint32_t k) {
        std::uint32_t c = 0;
        for (std::uint32_t r = 0; r < kCountRows; ++r) {
            c += rows[r * kRow + k];
            rows[r * kRow + k] = 0;
        }
        return c;
    };

    const std::uint32_t from = lowest < kVoltageCells ? lowest : 0;
    const std::uint32_t to = highest < kVoltageCells ? highest : kVoltageCells - 1;
    // Every product and sum is exact (a stored voltage is a multiple of 2^-22 below 2^7 and a
    // run holds fewer than 2^24 of them), so the sum is the one taken in recording order.
    double sum = 0;
    for (std::uint32_t k = from; k <= to; ++k) {
        const std::uint32_t c = takeCell(k);
        if (c == 0)
            continue;
        // The voltage of these hundredths exactly as voltageFromRaw stores it.
        const float value = float(static_cast<long double>(k) / 100.0L);
        sum += double(c) * double(value);
        voltage_.bands.addCell(k, value, c, interval);
    }
    if (takeCell(kVoltageCells) > 0) {
        // No stored voltage lies here; should one, it still counts, one by one.
        for (std::int32_t k = 0; k < n; ++k)
            if (hundredthsCell(v[k]) >= kVoltageCells) {
                voltage_.bands.add(v[k], interval);
                sum += v[k];
            }
    }
    p.sum += sum;
    p.minAt = p.maxAt = -1; // looked up when the day needs them
    return p;
}

namespace {
// The first sample holding `value`, a block of 16 compared at a time; there must be one.
std::int32_t firstWith(const float* v, std::int32_t n, float value) {
    std::int32_t i = 0;
    for (; i + 16 <= n; i += 16) {
        bool any = false;
        for (int k = 0; k < 16; ++k)
            any |= v[i + k] == value;
        if (any)
            break;
    }
    while (i < n && !(v[i] == value))
        ++i;
    return i;
}
} // namespace

void RunFigures::addPiece(Quantity& q, const float* values, std::int32_t first, std::int32_t last,
                          const SampleTimeline::Stretch& stretch, bool onDay) {
    const std::int32_t n = last - first + 1;
    const double sumBefore = onDay ? q.current->sum : 0.0;
    PieceFigures p{sumBefore, values[0], values[0]};
    if (&q == &voltage_) {
        p = countVoltages(values, n, stretch.interval, sumBefore);
    } else {
        q.bands.addBlock(values, n, stretch.interval);
        for (std::int32_t i = 0; i < n; ++i) { // in recording order
            const float x = values[i];
            if (x < p.min) {
                p.min = x;
                p.minAt = i;
            }
            if (x > p.max) {
                p.max = x;
                p.maxAt = i;
            }
            p.sum += x;
        }
    }
    if (!onDay)
        return;
    Figures& f = *q.current;
    const auto secondOfDay = [&](std::int32_t at, float value) {
        if (at < 0)
            at = firstWith(values, n, value);
        return std::int32_t(roundedSeconds(stretch.seconds(first + at)) + q.clockBase);
    };
    // Strictly: the first sample with the extreme keeps its time.
    if (p.min < f.min) {
        f.min = p.min;
        f.minSecond = secondOfDay(p.minAt, p.min);
    }
    if (p.max > f.max) {
        f.max = p.max;
        f.maxSecond = secondOfDay(p.maxAt, p.max);
    }
    f.count += n;
    f.sum = p.sum;
}

void RunFigures::enter(Quantity& q, double seconds) {
    q.current = nullptr;
    q.from = q.to = 0;
    if (!hasClockTime(seconds))
        return;
    WallClock::DaySpan span{};
    if (!clock_.daySpan(roundedSeconds(seconds), span))
        return;
    q.from = span.from;
    q.to = span.to;
    q.clockBase = span.clockBase;
    q.current = &(days_[span.day].*q.figures);
}

DayFigures RunFigures::figuresOf(const Figures& f) {
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

DayTable RunFigures::days(const std::vector<ClosedEvent>& events) {
    for (const ClosedEvent& e : events) {
        WallClock::DaySpan span{};
        if (!hasClock_ || !hasClockTime(e.moment) ||
            !clock_.daySpan(roundedSeconds(e.moment), span))
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
