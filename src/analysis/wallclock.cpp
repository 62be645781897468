#include "wallclock.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <QTimeZone>

#include "analysis/numbers.h"

namespace veltrano {

namespace {
constexpr std::int64_t kUnixEpochJulianDay = 2440588;
// Beyond this many seconds either way QDateTime has no moment anyway.
constexpr std::int64_t kMaxSeconds = std::int64_t(1) << 42;

char* putTwoDigits(char* out, int v) {
    *out++ = char('0' + v / 10);
    *out++ = char('0' + v % 10);
    return out;
}
} // namespace

WallClock::WallClock(const QDateTime& start) : start_(start) {
    if (start_.isValid())
        startMs_ = start_.toMSecsSinceEpoch();
}

bool WallClock::enter(std::int64_t seconds, std::int64_t instantMs) {
    const QDateTime moment = start_.addSecs(seconds);
    if (!moment.isValid() || moment.toMSecsSinceEpoch() != instantMs)
        return false;
    const int offset = moment.offsetFromUtc();
    // floor((start + offset + 1000 s) / 1000) = floor((start + offset) / 1000) + s
    base_ = floorDivide(startMs_ + std::int64_t(offset) * 1000, 1000);
    // Without a usable zone the offset holds for this instant only.
    from_ = instantMs;
    to_ = instantMs + 1;
    const Qt::TimeSpec kind = start_.timeSpec();
    if (kind == Qt::UTC || kind == Qt::OffsetFromUTC) {
        from_ = std::numeric_limits<std::int64_t>::min();
        to_ = std::numeric_limits<std::int64_t>::max();
        return true;
    }
    const QTimeZone zone = start_.timeZone();
    if (!zone.isValid() || zone.offsetFromUtc(moment) != offset)
        return true;
    if (!zone.hasTransitions()) {
        from_ = std::numeric_limits<std::int64_t>::min();
        to_ = std::numeric_limits<std::int64_t>::max();
        return true;
    }
    const QTimeZone::OffsetData before = zone.previousTransition(moment.addMSecs(1));
    const QTimeZone::OffsetData after = zone.nextTransition(moment);
    from_ = before.atUtc.isValid() ? before.atUtc.toMSecsSinceEpoch()
                                   : std::numeric_limits<std::int64_t>::min();
    to_ = after.atUtc.isValid() ? after.atUtc.toMSecsSinceEpoch()
                                : std::numeric_limits<std::int64_t>::max();
    if (from_ > instantMs || to_ <= instantMs) { // the zone disagrees with itself: no reuse
        from_ = instantMs;
        to_ = instantMs + 1;
    }
    return true;
}

bool WallClock::reach(std::int64_t seconds) {
    if (!start_.isValid() || seconds > kMaxSeconds || seconds < -kMaxSeconds)
        return false;
    const std::int64_t instantMs = startMs_ + seconds * 1000;
    return (instantMs >= from_ && instantMs < to_) || enter(seconds, instantMs);
}

QDate WallClock::dateOfDay(std::int64_t day) {
    return QDate::fromJulianDay(day + kUnixEpochJulianDay);
}

bool WallClock::daySpan(std::int64_t seconds, DaySpan& span) {
    if (!reach(seconds))
        return false;
    const std::int64_t day = floorDivide(base_ + seconds, 86400);
    span.day = day;
    span.clockBase = base_ - day * 86400;
    // The day's seconds under this offset, cut to the instants that share it.
    span.from = -span.clockBase;
    span.to = 86400 - span.clockBase;
    if (from_ != std::numeric_limits<std::int64_t>::min())
        span.from = std::max(span.from, -floorDivide(startMs_ - from_, 1000));
    if (to_ != std::numeric_limits<std::int64_t>::max())
        span.to = std::min(span.to, -floorDivide(startMs_ - to_, 1000));
    span.from = std::max(span.from, -kMaxSeconds);
    span.to = std::min(span.to, kMaxSeconds + 1);
    return true;
}

char* WallClock::put(char* out, std::int64_t seconds) {
    if (!reach(seconds))
        return out;
    const std::int64_t local = base_ + seconds;
    if (std::uint64_t(local) - std::uint64_t(dayStart_) >= 86400) {
        const std::int64_t day = floorDivide(local, 86400);
        const QByteArray text = dateOfDay(day).toString(u"yyyy-MM-dd").toLatin1();
        if (text.size() != 10) { // years beyond four digits: Qt's own text
            dayStart_ = INT64_MIN;
            const QByteArray whole =
                start_.addSecs(seconds).toString(u"yyyy-MM-ddTHH:mm:ss").toLatin1().left(kMaxChars);
            std::memcpy(out, whole.constData(), std::size_t(whole.size()));
            return out + whole.size();
        }
        std::memcpy(dayText_, text.constData(), 10);
        dayText_[10] = 'T';
        dayStart_ = day * 86400;
    }
    const auto secondOfDay = unsigned(std::uint64_t(local) - std::uint64_t(dayStart_));
    std::memcpy(out, dayText_, 11);
    out = putTwoDigits(out + 11, int(secondOfDay / 3600));
    *out++ = ':';
    out = putTwoDigits(out, int(secondOfDay / 60 % 60));
    *out++ = ':';
    return putTwoDigits(out, int(secondOfDay % 60));
}

} // namespace veltrano
