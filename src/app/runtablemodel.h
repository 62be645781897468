#pragma once

#include <memory>

#include <QAbstractTableModel>

#include "analysis/processing.h"

namespace veltrano {

// A read-only table over a finished run's rows: texts for the view and for screen readers,
// numbers to sort by. The model holds the run's result, so that no later run writes over what
// it shows.
class RunTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Numbers to sort by, whatever the text shows.
    static constexpr int SortRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    // A new run's rows; none for nullptr.
    void setResult(std::shared_ptr<const ProcessingResult> result);
    const ProcessingResult* result() const { return result_.get(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    // The decimal sign of the run's locale, as the exports write it.
    char decimal() const { return decimal_; }

private:
    virtual int rows(const ProcessingResult& run) const = 0;
    virtual int columns() const = 0;
    virtual QString heading(int column) const = 0;
    // Only called with a result.
    virtual QString text(int row, int column) const = 0;
    virtual double number(int row, int column) const = 0;
    // Words stand on the left, numbers and times on the right.
    virtual bool holdsWords(int column) const = 0;

    std::shared_ptr<const ProcessingResult> result_;
    char decimal_ = ',';
};

} // namespace veltrano
