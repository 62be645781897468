#pragma once

#include <array>
#include <memory>

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

#include "analysis/processing.h"

namespace veltrano {

// The reported events of a finished run, one row each, in report order. The model holds the
// run's result, so that no later run writes over what it shows.
class EventTableModel : public QAbstractTableModel {
    Q_OBJECT
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
    // Numbers to sort by, whatever the text shows.
    static constexpr int SortRole = Qt::UserRole;
    // The event's row in report order, whatever the sorting.
    static constexpr int EventRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    // A new run's events; none for nullptr.
    void setResult(std::shared_ptr<const ProcessingResult> result);
    const ProcessingResult* result() const { return result_.get(); }
    const ClosedEvent& event(int row) const { return result_->events[std::size_t(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString text(const ClosedEvent& e, int column) const;
    double number(const ClosedEvent& e, int column) const;

    std::shared_ptr<const ProcessingResult> result_;
    QString unitPlural_;
    char decimal_ = ',';
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
