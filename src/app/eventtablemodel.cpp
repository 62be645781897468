#include "eventtablemodel.h"

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

void EventTableModel::setResult(std::shared_ptr<const ProcessingResult> result) {
    beginResetModel();
    result_ = std::move(result);
    if (result_) {
        const int unit = std::clamp(result_->timeUnit, 0, int(kTimeUnits.size()) - 1);
        unitPlural_ = QString::fromUtf8(kTimeUnits[std::size_t(unit)].plural);
        decimal_ = CsvStyle::of(result_->settings.locale).decimal;
    }
    endResetModel();
}

int EventTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !result_ ? 0 : int(result_->events.size());
}

int EventTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EventTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (Column(section)) {
    case Number:
        return QStringLiteral("Nummer");
    case Kind:
        return QStringLiteral("Soort");
    case Ordinal:
        return QStringLiteral("Hoeveelste");
    case Begin:
        return QStringLiteral("Begin");
    case BeginInUnit:
        return QStringLiteral("Begin (%1)").arg(result_ ? unitPlural_ : QStringLiteral("minuten"));
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

QVariant EventTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !result_ || index.row() >= rowCount())
        return {};
    const ClosedEvent& e = event(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return text(e, index.column());
    case SortRole:
        return number(e, index.column());
    case EventRole:
        return index.row();
    case Qt::TextAlignmentRole:
        return index.column() == Kind ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

double EventTableModel::number(const ClosedEvent& e, int column) const {
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

QString EventTableModel::text(const ClosedEvent& e, int column) const {
    char buffer[kMaxNumberChars];
    switch (Column(column)) {
    case Number:
        return QString::number(e.number);
    case Kind:
        return QString::fromLatin1(eventKindWord(e.kind));
    case Ordinal:
        return QString::number(e.ordinal);
    case Begin:
        return result_->settings.periodStart.addSecs(roundedSeconds(e.moment))
            .toString(QStringLiteral("dd-MM-yyyy HH:mm:ss"));
    case BeginInUnit: {
        const long double start = static_cast<long double>(e.moment) / result_->secondsPerUnit;
        return fromChars(buffer, putShortest(buffer, double(start), decimal_));
    }
    case Duration:
        return durationText(e.duration);
    case Average:
        return fromChars(buffer, putTwoDecimals(buffer, e.average, decimal_));
    case Extreme:
        return fromChars(buffer, putTwoDecimals(buffer, e.extreme, decimal_));
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
