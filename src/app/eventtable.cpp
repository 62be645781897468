#include "eventtable.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include "eventtablemodel.h"

namespace veltrano {

void setUpTable(QTableView* view) {
    view->setSortingEnabled(true);
    view->sortByColumn(-1, Qt::AscendingOrder); // the run's order until a heading is clicked
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAlternatingRowColors(true);
    // Tab leaves the table; the arrow keys walk it.
    view->setTabKeyNavigation(false);
    view->verticalHeader()->hide();
    // Uniform rows: the view need not ask thousands of rows for their heights.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setStretchLastSection(true);
    // Widths from the first rows: every row of a column has the same shape, and asking all
    // thousands of them would hold up the window when a run ends.
    view->horizontalHeader()->setResizeContentsPrecision(64);
}

EventTable::EventTable(QWidget* parent)
    : QWidget(parent), model_(new EventTableModel(this)), filter_(new EventTableFilter(this)),
      kindFilter_(new QComboBox(this)), view_(new QTableView(this)) {
    filter_->setSourceModel(model_);

    kindFilter_->addItem(QStringLiteral("Alle soorten"));
    for (EventKind kind : {EventKind::OverVoltage, EventKind::UnderVoltage,
                           EventKind::OverTemperature, EventKind::UnderTemperature})
        kindFilter_->addItem(QString::fromLatin1(eventKindWord(kind)), int(kind));
    auto* kindLabel = new QLabel(QStringLiteral("Soort"), this);
    kindLabel->setBuddy(kindFilter_);

    view_->setModel(filter_);
    setUpTable(view_);
    view_->setAccessibleName(QStringLiteral("Calamiteiten"));
    kindFilter_->setAccessibleName(QStringLiteral("Soort calamiteit"));

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(kindLabel);
    filterRow->addWidget(kindFilter_);
    filterRow->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(filterRow);
    column->addWidget(view_, 1);

    connect(kindFilter_, &QComboBox::currentIndexChanged, this, [this](int index) {
        const QVariant kind = kindFilter_->itemData(index);
        filter_->setKind(kind.isValid() ? std::optional(EventKind(kind.toInt())) : std::nullopt);
    });
    // The chosen row, not the current one: the focus coming in sets a current row by itself.
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = view_->selectionModel()->selectedRows();
        if (!rows.isEmpty())
            rowChosen(rows.first());
    });
}

void EventTable::setResult(std::shared_ptr<const ProcessingResult> result) {
    model_->setResult(std::move(result));
    view_->resizeColumnsToContents();
}

void EventTable::rowChosen(const QModelIndex& index) {
    const int row = filter_->mapToSource(index).row();
    const ProcessingResult* r = model_->result();
    if (!r || row < 0)
        return;
    const ClosedEvent& e = model_->event(row);
    emit eventChosen(e.number, startInUnit(e, r->secondsPerUnit), endInUnit(e, r->secondsPerUnit));
}

} // namespace veltrano
