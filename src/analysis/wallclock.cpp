#include "wallclock.h"

#include <cstring>
#include <limits>

#include <QTimeZone>

namespace veltrano {

namespace {
constexpr std::int64_t kUnixEpochJulianDay = 2440588;
// Beyond this many seconds either way QDateTime has no moment anyway.
constexpr std::int64_t kMaxSeconds = std::int64_t(1) << 42;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
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
    base_ = floorDiv(startMs_ + std::int64_t(offset) * 1000, 1000);
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

char* WallClock::put(char* out, std::int64_t seconds) {
    if (!start_.isValid() || seconds > kMaxSeconds || seconds < -kMaxSeconds)
        return out;
    const std::int64_t instantMs = startMs_ + seconds * 1000;
    if ((instantMs < from_ || instantMs >= to_) && !enter(seconds, instantMs))
        return out;
    const std::int64_t local = base_ + seconds;
    if (std::uint64_t(local) - std::uint64_t(dayStart_) >= 86400) {
        const std::int64_t day = floorDiv(local, 86400);
        const QByteArray text =
            QDate::fromJulianDay(day + kUnixEpochJulianDay).toString(u"yyyy-MM-dd").toLatin1();
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
