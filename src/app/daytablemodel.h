#pragma once

#include "runtablemodel.h"

namespace veltrano {

// "Per dag": a run's days, one row each, with the columns and texts of the dagen export.
class DayTableModel : public RunTableModel {
public:
    using RunTableModel::RunTableModel;

private:
    int rows(const ProcessingResult& run) const override;
    int columns() const override;
    QString heading(int column) const override;
    QString text(int row, int column) const override;
    double number(int row, int column) const override;
    bool holdsWords(int column) const override { return column == 0; }
};

} // namespace veltrano
