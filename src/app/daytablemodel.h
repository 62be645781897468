#pragma once

#include <memory>

#include <QAbstractTableModel>

#include "analysis/processing.h"

namespace veltrano {

// "Per dag": a run's days, one row each, with the columns of the dagen export. The model holds
// the run's result, so that no later run writes over what it shows.
class DayTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Numbers to sort by, whatever the text shows.
    static constexpr int SortRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    void setResult(std::shared_ptr<const ProcessingResult> result);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const ProcessingResult> result_;
    char decimal_ = ',';
};

} // namespace veltrano
