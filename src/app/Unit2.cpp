#include "Unit2.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "namedlist.h"
#include "recording/intervals.h"
#include "unitcaptions.h"

namespace veltrano {

namespace {

const QColor kWindowGrey(160, 160, 164);
const QColor kHighlightGreen(0, 128, 0);

// Draws every cell as usual, then paints the chosen voltage x temperature cell green with
// its text written again.
class HighlightDelegate : public QStyledItemDelegate {
public:
    HighlightDelegate(const QComboBox* voltage, const QComboBox* temperature, QObject* parent)
        : QStyledItemDelegate(parent), voltage_(voltage), temperature_(temperature) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (voltage_->currentIndex() < 0 || temperature_->currentIndex() < 0 ||
            index.row() != voltage_->currentIndex() + 1 ||
            index.column() != temperature_->currentIndex() + 1)
            return;
        painter->save();
        painter->fillRect(option.rect, kHighlightGreen);
        painter->setFont(option.font);
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(option.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                          index.data().toString());
        painter->restore();
    }

private:
    const QComboBox* voltage_;
    const QComboBox* temperature_;
};

QLabel* designLabel(const char* text, QWidget* parent) {
    return new QLabel(QString::fromUtf8(text), parent);
}

// What a header cell of the duration table means, spoken on its own: "Spanning 5 sec",
// "Temperatuur 30 sec". The same interval can head a row and a column.
QString accessibleHeader(int row, int column) {
    if (row == 0 && column == 0)
        return QStringLiteral("Spanning per rij, temperatuur per kolom");
    if (row == 0)
        return QStringLiteral("Temperatuur ") + durationColumnHeader(column).trimmed();
    if (column == 0)
        return QStringLiteral("Spanning ") + durationRowHeader(row).trimmed();
    return {};
}

} // namespace

TForm2::TForm2(QWidget* parent, DurationTableComputation computation)
    : QWidget(parent, Qt::Window), computation_(std::move(computation)) {
    setWindowTitle(QStringLiteral("Configureren"));
    // Closing the main window ends the program even while this window is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, kWindowGrey);
    setPalette(grey);
    setAutoFillBackground(true);

    TemperatuurLabel = designLabel(" Temperatuur meetintervallen", this);
    SpanningLabel = designLabel(" Spanning meetintervallen", this);

    StringGrid1 = new QTableWidget(kDurationGridRows, kDurationGridColumns, this);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setShowGrid(true);
    StringGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab reaches the table, so that a screen reader can walk its cells; a click does not
    // focus it, so no cell gets marked by the mouse.
    StringGrid1->setFocusPolicy(Qt::TabFocus);
    // The arrow keys walk the cells; Tab goes on to the next control.
    StringGrid1->setTabKeyNavigation(false);
    StringGrid1->setAccessibleName(QStringLiteral("Opnameduur"));
    StringGrid1->setAccessibleDescription(
        QStringLiteral("Hoe lang de QLO opneemt met elk paar meetintervallen, in de gekozen "
                       "tijdeenheid; de rijen zijn de spanning, de kolommen de temperatuur"));
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette gridPalette = StringGrid1->palette();
    gridPalette.setColor(QPalette::Base, kWindowGrey);
    StringGrid1->setPalette(gridPalette);
    for (int r = 0; r < kDurationGridRows; ++r) {
        for (int c = 0; c < kDurationGridColumns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled); // neither selectable nor editable
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
            if (r == 0 || c == 0) {
                item->setText(r == 0 ? durationColumnHeader(c) : durationRowHeader(r));
                item->setBackground(palette().color(QPalette::Button));
                item->setData(Qt::AccessibleTextRole, accessibleHeader(r, c));
            } else {
                item->setData(Qt::AccessibleDescriptionRole, accessibleHeader(r, 0) +
                                                                 QStringLiteral(", ") +
                                                                 accessibleHeader(0, c).toLower());
            }
            StringGrid1->setItem(r, c, item);
        }
    }
    // The hidden headers name the rows and columns for assistive technology.
    StringGrid1->setVerticalHeaderItem(0, new QTableWidgetItem(QStringLiteral("Temperatuur")));
    for (int r = 1; r < kDurationGridRows; ++r)
        StringGrid1->setVerticalHeaderItem(r, new QTableWidgetItem(accessibleHeader(r, 0)));
    StringGrid1->setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("Spanning")));
    for (int c = 1; c < kDurationGridColumns; ++c)
        StringGrid1->setHorizontalHeaderItem(c, new QTableWidgetItem(accessibleHeader(0, c)));
    // Wide enough for the largest duration in seconds in any locale, at any font size.
    const QFontMetrics metrics(StringGrid1->font());
    const int columnWidth =
        std::max(64, metrics.horizontalAdvance(QStringLiteral("0.000.000.000")) +
                         metrics.averageCharWidth() * 2);
    const int rowHeight = std::max(24, metrics.height() + 8);
    StringGrid1->horizontalHeader()->setMinimumSectionSize(1);
    StringGrid1->verticalHeader()->setMinimumSectionSize(1);
    StringGrid1->horizontalHeader()->setDefaultSectionSize(columnWidth);
    StringGrid1->verticalHeader()->setDefaultSectionSize(rowHeight);
    StringGrid1->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    StringGrid1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    RadioGroup1 = new QGroupBox(QStringLiteral("Tijdeenheid"), this);
    RadioGroup1Items = new QButtonGroup(this);
    auto* unitLayout = new QVBoxLayout(RadioGroup1);
    for (int i = 0; i < int(kTableTimeUnitCaptions.size()); ++i) {
        auto* button = new QRadioButton(QString::fromUtf8(kTableTimeUnitCaptions[std::size_t(i)]),
                                        RadioGroup1);
        RadioGroup1Items->addButton(button, i);
        unitLayout->addWidget(button);
    }
    RadioGroup1Items->button(0)->setChecked(true);

    MeetintervalSpanningLabel = designLabel(" Meetinterval spanning", this);
    ComboBox1 = new NamedList(this);
    MeetintervalSpanningLabel->setBuddy(ComboBox1);
    ComboBox1->addItems(voltageListLabels());
    ComboBox1->setMaxVisibleItems(5);
    ComboBox1->setCurrentIndex(kInitialVoltageListIndex);

    MeetintervalTemperatuurLabel = designLabel(" Meetinterval temperatuur", this);
    ComboBox2 = new NamedList(this);
    MeetintervalTemperatuurLabel->setBuddy(ComboBox2);
    ComboBox2->addItems(temperatureListLabels(kInitialVoltageListIndex == 0));
    ComboBox2->setMaxVisibleItems(5);
    ComboBox2->setCurrentIndex(kInitialTemperatureListIndex);

    Buttonmeetintervallen = new QPushButton(QStringLiteral("Meetintervallen instellen"), this);

    StringGrid1->setItemDelegate(new HighlightDelegate(ComboBox1, ComboBox2, StringGrid1));

    auto* side = new QVBoxLayout;
    side->addWidget(RadioGroup1);
    side->addSpacing(metrics.height() / 2);
    side->addWidget(MeetintervalSpanningLabel);
    side->addWidget(ComboBox1);
    side->addWidget(MeetintervalTemperatuurLabel);
    side->addWidget(ComboBox2);
    side->addWidget(Buttonmeetintervallen);
    side->addStretch(1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(TemperatuurLabel, 0, 1, Qt::AlignHCenter | Qt::AlignBottom);
    layout->addWidget(SpanningLabel, 1, 0, Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(StringGrid1, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    layout->addLayout(side, 0, 2, 3, 1);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(3, 1);

    connect(RadioGroup1Items, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            RadioGroup1Click(id);
    });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm2::ComboBox1Change);
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TForm2::ComboBox2Change);
    connect(Buttonmeetintervallen, &QPushButton::clicked, this,
            &TForm2::ButtonmeetintervallenClick);

    startTableComputation(RadioGroup1Items->checkedId());
}

TForm2::~TForm2() = default;

void TForm2::RadioGroup1Click(int unitIndex) {
    startTableComputation(unitIndex);
}

void TForm2::ComboBox1Change(int voltageIndex) {
    const int temperatureIndex = ComboBox2->currentIndex();
    {
        const QSignalBlocker blocker(ComboBox2);
        ComboBox2->clear();
        ComboBox2->addItems(temperatureListLabels(voltageIndex == 0));
        ComboBox2->setCurrentIndex(temperatureIndex);
    }
    StringGrid1->viewport()->update();
}

void TForm2::setIntervalSettingEnabled(bool enabled) {
    Buttonmeetintervallen->setEnabled(enabled);
}

void TForm2::ComboBox2Change(int) {
    StringGrid1->viewport()->update();
}

void TForm2::ButtonmeetintervallenClick() {
    emit intervalSettingRequested(ComboBox1->currentIndex(), ComboBox2->currentIndex());
}

// Each unit choice gets its own task; only the newest one may fill the grid, so a slower
// older task can never overwrite a newer table.
void TForm2::startTableComputation(int unitIndex) {
    const quint64 generation = ++generation_;
    auto* watcher = new QFutureWatcher<DurationCellTexts>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation, unitIndex] {
        if (generation == generation_)
            showTable(unitIndex, watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(computation_, unitIndex, locale()));
}

void TForm2::showTable(int unitIndex, const DurationCellTexts& cells) {
    for (int r = 0; r < kDurationRows; ++r)
        for (int c = 0; c < kDurationColumns; ++c)
            StringGrid1->item(r + 1, c + 1)->setText(cells[std::size_t(r)][std::size_t(c)]);
    shownUnit_ = unitIndex;
    emit durationTableShown(unitIndex);
}

} // namespace veltrano
