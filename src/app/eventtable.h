#pragma once

#include <memory>

#include <QWidget>

#include "analysis/processing.h"

class QComboBox;
class QTableView;

namespace veltrano {

class EventTableModel;
class EventTableFilter;

// A read-only table of a run's rows: sortable, one row chosen at a time, Tab leaves it.
void setUpTable(QTableView* view);

// "Calamiteiten": the finished run's events as a table, sortable by every column and
// filtered by kind. Choosing a row asks the chart to show that event.
class EventTable : public QWidget {
    Q_OBJECT
public:
    explicit EventTable(QWidget* parent = nullptr);

    void setResult(std::shared_ptr<const ProcessingResult> result);
    QTableView* view() const { return view_; }
    QComboBox* kindFilter() const { return kindFilter_; }
    EventTableModel* model() const { return model_; }

signals:
    // A row was chosen: event `number`, from `start` to `end` in the run's unit.
    void eventChosen(long long number, long double start, long double end);

private:
    void rowChosen(const QModelIndex& index);

    EventTableModel* model_;
    EventTableFilter* filter_;
    QComboBox* kindFilter_;
    QTableView* view_;
};

} // namespace veltrano
