#include "eventtablemodel.h"

#include <algorithm>
#include <cmath>

#include "analysis/csvwriter.h"
#include "analysis/wallclock.h"
#include "recording/timeunits.h"

namespace veltrano {

namespace {

QString fromChars(const char* begin, const char* end) {
    return QString::fromLatin1(begin, int(end - begin));
}

} // namespace

QString EventTableModel::heading(int column) const {
    switch (Column(column)) {
    case Number:
        return QStringLiteral("Nummer");
    case Kind:
        return QStringLiteral("Soort");
    case Ordinal:
        return QStringLiteral("Hoeveelste");
    case Begin:
        return QStringLiteral("Begin");
    case BeginInUnit: {
        const int unit = result() ? std::clamp(result()->timeUnit, 0, int(kTimeUnits.size()) - 1)
                                  : kInitialTimeUnit;
        return QStringLiteral("Begin (%1)")
            .arg(QString::fromUtf8(kTimeUnits[std::size_t(unit)].plural));
    }
    case Duration:
        return QStringLiteral("Duur");
    case Average:
        return QStringLiteral("Gemiddelde");
    case Extreme:
        return QStringLiteral("Extreem");
    case ColumnCount:
        break;
    }
    return {};
}

double EventTableModel::number(int row, int column) const {
    const ClosedEvent& e = event(row);
    switch (Column(column)) {
    case Number:
        return e.number;
    case Kind:
        return double(e.kind);
    case Ordinal:
        return e.ordinal;
    case Begin:
    case BeginInUnit:
        return e.moment;
    case Duration:
        return e.duration;
    case Average:
        return e.average;
    case Extreme:
        return e.extreme;
    case ColumnCount:
        break;
    }
    return 0;
}

QString EventTableModel::text(int row, int column) const {
    const ClosedEvent& e = event(row);
    char buffer[kMaxNumberChars];
    switch (Column(column)) {
    case Number:
        return QString::number(e.number);
    case Kind:
        return QString::fromLatin1(eventKindWord(e.kind));
    case Ordinal:
        return QString::number(e.ordinal);
    case Begin:
        return result()
            ->settings.periodStart.addSecs(roundedSeconds(e.moment))
            .toString(QStringLiteral("dd-MM-yyyy HH:mm:ss"));
    case BeginInUnit: {
        const long double start = static_cast<long double>(e.moment) / result()->secondsPerUnit;
        return fromChars(buffer, putShortest(buffer, double(start), decimal()));
    }
    case Duration:
        return durationText(e.duration);
    case Average:
        return fromChars(buffer, putTwoDecimals(buffer, e.average, decimal()));
    case Extreme:
        return fromChars(buffer, putTwoDecimals(buffer, e.extreme, decimal()));
    case ColumnCount:
        break;
    }
    return {};
}

EventTableFilter::EventTableFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(EventTableModel::SortRole);
}

void EventTableFilter::setKind(std::optional<EventKind> kind) {
    kind_ = kind;
    invalidateFilter();
}

bool EventTableFilter::filterAcceptsRow(int row, const QModelIndex&) const {
    if (!kind_)
        return true;
    const auto* events = static_cast<const EventTableModel*>(sourceModel());
    return events->event(row).kind == *kind_;
}

} // namespace veltrano
