#pragma once

#include <cmath>
#include <cstdint>

#include <QDateTime>

namespace veltrano {

// A clock time in whole seconds: the nearest second, halves to the later one. Every clock time
// shown or exported is "Datum aansluiting" plus this many seconds, added as the clock runs.
inline std::int64_t roundedSeconds(double seconds) {
    return static_cast<std::int64_t>(std::floor(seconds + 0.5));
}

// Whether seconds are finite and small enough for whole seconds to stay exact (below 2^53),
// which every recording is; the others get no clock time.
inline bool hasClockTime(double seconds) {
    return std::fabs(seconds) < 9e15; // false for NaN too
}

// The wall-clock text "yyyy-MM-ddTHH:mm:ss" of a start moment plus whole seconds, as
// QDateTime::addSecs gives it, so that summer-time changes show as the clock showed them.
// The offset from UTC is reused while no transition of the start's time zone lies between,
// which keeps millions of rows from each asking the time-zone database.
class WallClock {
public:
    static constexpr int kMaxChars = 32;

    explicit WallClock(const QDateTime& start);

    // Writes the text into out (room for kMaxChars) and returns its end; nothing for a moment
    // that does not exist.
    char* put(char* out, std::int64_t seconds);

    // The calendar day on which put() writes start + seconds, and the whole seconds around it
    // that lie on that day under the same offset from UTC, so that callers ask again only when
    // they leave them.
    struct DaySpan {
        std::int64_t day;       // days since 1970-01-01 on the local clock
        std::int64_t from;      // first second of the span
        std::int64_t to;        // one past its last second
        std::int64_t clockBase; // second of the day = seconds + clockBase, within the span
    };
    // False for a moment that does not exist, for which put() writes nothing.
    bool daySpan(std::int64_t seconds, DaySpan& span);
    static QDate dateOfDay(std::int64_t day);

private:
    bool enter(std::int64_t seconds, std::int64_t instantMs);
    bool reach(std::int64_t seconds);

    QDateTime start_;
    std::int64_t startMs_ = 0;
    // UTC instants [from_, to_) share one offset; their local second is base_ + seconds.
    std::int64_t from_ = 0;
    std::int64_t to_ = 0;
    std::int64_t base_ = 0;
    std::int64_t dayStart_ = INT64_MIN; // local second at which the day of dayText_ begins
    char dayText_[11] = {};
};

} // namespace veltrano
