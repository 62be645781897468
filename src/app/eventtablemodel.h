#pragma once

#include <optional>

#include <QSortFilterProxyModel>

#include "runtablemodel.h"

namespace veltrano {

// The reported events of a finished run, one row each, in report order.
class EventTableModel : public RunTableModel {
public:
    enum Column {
        Number,
        Kind,
        Ordinal,
        Begin,
        BeginInUnit,
        Duration,
        Average,
        Extreme,
        ColumnCount
    };

    using RunTableModel::RunTableModel;

    const ClosedEvent& event(int row) const { return result()->events[std::size_t(row)]; }

private:
    int rows(const ProcessingResult& run) const override { return int(run.events.size()); }
    int columns() const override { return ColumnCount; }
    QString heading(int column) const override;
    QString text(int row, int column) const override;
    double number(int row, int column) const override;
    bool holdsWords(int column) const override { return column == Kind; }
};

// Sorting by the numbers behind the texts, and a filter by kind.
class EventTableFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit EventTableFilter(QObject* parent = nullptr);
    // Only events of this kind; none: all.
    void setKind(std::optional<EventKind> kind);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    std::optional<EventKind> kind_;
};

} // namespace veltrano
