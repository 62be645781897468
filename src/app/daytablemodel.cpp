#include "daytablemodel.h"

#include "analysis/csvwriter.h"
#include "analysis/daily.h"

namespace veltrano {

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
    return parent.isValid() ? 0 : int(kDayColumns.size());
}

QVariant DayTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < int(kDayColumns.size()))
        return QString::fromUtf8(kDayColumns[std::size_t(section)]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant DayTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !result_ || index.row() >= rowCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == 0 ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    const DayRow& day = result_->days[std::size_t(index.row())];
    if (role == SortRole)
        return dayCellValue(day, index.column());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return dayCellText(day, index.column(), decimal_);
    return {};
}

} // namespace veltrano
