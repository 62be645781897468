#include "daytablemodel.h"

#include "analysis/daily.h"

namespace veltrano {

int DayTableModel::rows(const ProcessingResult& run) const {
    return int(run.days.size());
}

int DayTableModel::columns() const {
    return int(kDayColumns.size());
}

QString DayTableModel::heading(int column) const {
    return QString::fromUtf8(kDayColumns[std::size_t(column)]);
}

QString DayTableModel::text(int row, int column) const {
    return dayCellText(result()->days[std::size_t(row)], column, decimal());
}

double DayTableModel::number(int row, int column) const {
    return dayCellValue(result()->days[std::size_t(row)], column);
}

} // namespace veltrano
