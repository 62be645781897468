#include "runtablemodel.h"

#include "analysis/csvwriter.h"

namespace veltrano {

void RunTableModel::setResult(std::shared_ptr<const ProcessingResult> result) {
    beginResetModel();
    result_ = std::move(result);
    if (result_)
        decimal_ = CsvStyle::of(result_->settings.locale).decimal;
    endResetModel();
}

int RunTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !result_ ? 0 : rows(*result_);
}

int RunTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns();
}

QVariant RunTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columns())
        return heading(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant RunTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !result_ || index.row() >= rowCount() || index.column() >= columns())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return text(index.row(), index.column());
    case SortRole:
        return number(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return holdsWords(index.column()) ? QVariant()
                                          : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

} // namespace veltrano
