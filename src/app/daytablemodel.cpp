#include "daytablemodel.h"

#include <array>

#include "analysis/csvwriter.h"

namespace veltrano {

namespace {

// The columns of the dagen export: the date, then per quantity its count, minimum with its
// time, maximum with its time and mean, then the events.
constexpr std::array<const char*, 14> kHeadings = {"datum",
                                                   "spanningsmetingen",
                                                   "min spanning",
                                                   "tijd min spanning",
                                                   "max spanning",
                                                   "tijd max spanning",
                                                   "gemiddelde spanning",
                                                   "temperatuurmetingen",
                                                   "min temperatuur",
                                                   "tijd min temperatuur",
                                                   "max temperatuur",
                                                   "tijd max temperatuur",
                                                   "gemiddelde temperatuur",
                                                   "calamiteiten"};

enum Field { Count, Min, MinTime, Max, MaxTime, Mean, FieldCount };

QString twoDecimals(double value, char decimal) {
    char buffer[kMaxNumberChars];
    return QString::fromLatin1(buffer, int(putTwoDecimals(buffer, value, decimal) - buffer));
}

} // namespace

void DayTableModel::setResult(std::shared_ptr<const ProcessingResult> result) {
    beginResetModel();
    result_ = std::move(result);
    if (result_)
        decimal_ = CsvStyle::of(result_->settings.locale).decimal;
    endResetModel();
}

int DayTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !result_ ? 0 : int(result_->days.size());
}

int DayTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(kHeadings.size());
}

QVariant DayTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < int(kHeadings.size()))
        return QString::fromUtf8(kHeadings[std::size_t(section)]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant DayTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !result_ || index.row() >= rowCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == 0 ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != SortRole)
        return {};
    const DayRow& day = result_->days[std::size_t(index.row())];
    const bool sorting = role == SortRole;
    const int column = index.column();
    if (column == 0)
        return sorting ? QVariant(day.date.toJulianDay())
                       : QVariant(day.date.toString(QStringLiteral("yyyy-MM-dd")));
    if (column == int(kHeadings.size()) - 1)
        return sorting ? QVariant(double(day.events)) : QVariant(QString::number(day.events));
    const DayFigures& f = column <= FieldCount ? day.voltage : day.temperature;
    const auto field = Field((column - 1) % FieldCount);
    if (field == Count)
        return sorting ? QVariant(double(f.count)) : QVariant(QString::number(f.count));
    // A day without samples of a quantity leaves its figures empty.
    if (f.count == 0)
        return sorting ? QVariant(-1e300) : QVariant(QString());
    switch (field) {
    case Min:
        return sorting ? QVariant(double(f.min)) : QVariant(twoDecimals(f.min, decimal_));
    case Max:
        return sorting ? QVariant(double(f.max)) : QVariant(twoDecimals(f.max, decimal_));
    case Mean:
        return sorting ? QVariant(f.mean()) : QVariant(twoDecimals(f.mean(), decimal_));
    case MinTime:
    case MaxTime: {
        const QTime t = field == MinTime ? f.minTime : f.maxTime;
        return sorting ? QVariant(double(t.msecsSinceStartOfDay()))
                       : QVariant(t.toString(QStringLiteral("HH:mm:ss")));
    }
    case Count:
    case FieldCount:
        break;
    }
    return {};
}

} // namespace veltrano
