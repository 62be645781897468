#include "configurationwindow.h"

#include <QButtonGroup>
#include <QComboBox>
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

#include "chart/windowgrey.h"
#include "namedlist.h"
#include "objectnames.h"
#include "recording/intervals.h"
#include "recording/timeunits.h"

namespace veltrano {

namespace {

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

QLabel* captionLabel(const char* text, QWidget* parent) {
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

ConfigurationWindow::ConfigurationWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Configureren"));
    // Closing the main window ends the program even while this window is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    useWindowGrey(*this);

    temperatureHeading_ = captionLabel(" Temperatuur meetintervallen", this);
    voltageHeading_ = captionLabel(" Spanning meetintervallen", this);

    durationTable_ = new QTableWidget(kDurationGridRows, kDurationGridColumns, this);
    durationTable_->horizontalHeader()->hide();
    durationTable_->verticalHeader()->hide();
    durationTable_->setShowGrid(true);
    durationTable_->setSelectionMode(QAbstractItemView::NoSelection);
    durationTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab reaches the table, so that a screen reader can walk its cells; a click does not
    // focus it, so no cell gets marked by the mouse.
    durationTable_->setFocusPolicy(Qt::TabFocus);
    // The arrow keys walk the cells; Tab goes on to the next control.
    durationTable_->setTabKeyNavigation(false);
    durationTable_->setAccessibleName(QStringLiteral("Opnameduur"));
    durationTable_->setAccessibleDescription(
        QStringLiteral("Hoe lang de QLO opneemt met elk paar meetintervallen, in de gekozen "
                       "tijdeenheid; de rijen zijn de spanning, de kolommen de temperatuur"));
    durationTable_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    durationTable_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette gridPalette = durationTable_->palette();
    gridPalette.setColor(QPalette::Base, kWindowGrey);
    durationTable_->setPalette(gridPalette);
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
            durationTable_->setItem(r, c, item);
        }
    }
    // The hidden headers name the rows and columns for assistive technology.
    durationTable_->setVerticalHeaderItem(0, new QTableWidgetItem(QStringLiteral("Temperatuur")));
    for (int r = 1; r < kDurationGridRows; ++r)
        durationTable_->setVerticalHeaderItem(r, new QTableWidgetItem(accessibleHeader(r, 0)));
    durationTable_->setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("Spanning")));
    for (int c = 1; c < kDurationGridColumns; ++c)
        durationTable_->setHorizontalHeaderItem(c, new QTableWidgetItem(accessibleHeader(0, c)));
    // Wide enough for the largest duration in seconds in any locale, at any font size.
    const QFontMetrics metrics(durationTable_->font());
    const int columnWidth =
        std::max(64, metrics.horizontalAdvance(QStringLiteral("0.000.000.000")) +
                         metrics.averageCharWidth() * 2);
    const int rowHeight = std::max(24, metrics.height() + 8);
    durationTable_->horizontalHeader()->setMinimumSectionSize(1);
    durationTable_->verticalHeader()->setMinimumSectionSize(1);
    durationTable_->horizontalHeader()->setDefaultSectionSize(columnWidth);
    durationTable_->verticalHeader()->setDefaultSectionSize(rowHeight);
    durationTable_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    durationTable_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    unitGroup_ = new QGroupBox(QStringLiteral("Tijdeenheid"), this);
    unitButtons_ = new QButtonGroup(this);
    auto* unitLayout = new QVBoxLayout(unitGroup_);
    for (int i = 0; i < int(kTableTimeUnits.size()); ++i) {
        auto* button =
            new QRadioButton(QString::fromUtf8(kTableTimeUnits[std::size_t(i)].plural), unitGroup_);
        unitButtons_->addButton(button, i);
        unitLayout->addWidget(button);
    }
    unitButtons_->button(0)->setChecked(true);

    voltageIntervalLabel_ = captionLabel(" Meetinterval spanning", this);
    voltageIntervalList_ = new NamedList(this);
    voltageIntervalLabel_->setBuddy(voltageIntervalList_);
    voltageIntervalList_->addItems(voltageListLabels());
    voltageIntervalList_->setMaxVisibleItems(5);
    voltageIntervalList_->setCurrentIndex(kInitialVoltageListIndex);

    temperatureIntervalLabel_ = captionLabel(" Meetinterval temperatuur", this);
    temperatureIntervalList_ = new NamedList(this);
    temperatureIntervalLabel_->setBuddy(temperatureIntervalList_);
    temperatureIntervalList_->addItems(temperatureListLabels(kInitialVoltageListIndex == 0));
    temperatureIntervalList_->setMaxVisibleItems(5);
    temperatureIntervalList_->setCurrentIndex(kInitialTemperatureListIndex);

    sendIntervalsButton_ = new QPushButton(QStringLiteral("Meetintervallen instellen"), this);

    durationTable_->setItemDelegate(
        new HighlightDelegate(voltageIntervalList_, temperatureIntervalList_, durationTable_));

    auto* side = new QVBoxLayout;
    side->addWidget(unitGroup_);
    side->addSpacing(metrics.height() / 2);
    side->addWidget(voltageIntervalLabel_);
    side->addWidget(voltageIntervalList_);
    side->addWidget(temperatureIntervalLabel_);
    side->addWidget(temperatureIntervalList_);
    side->addWidget(sendIntervalsButton_);
    side->addStretch(1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(temperatureHeading_, 0, 1, Qt::AlignHCenter | Qt::AlignBottom);
    layout->addWidget(voltageHeading_, 1, 0, Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(durationTable_, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    layout->addLayout(side, 0, 2, 3, 1);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(3, 1);

    nameObjects({
        {temperatureHeading_, "temperatureHeading"},
        {voltageHeading_, "voltageHeading"},
        {durationTable_, "durationTable"},
        {unitGroup_, "unitGroup"},
        {unitButtons_, "unitButtons"},
        {voltageIntervalLabel_, "voltageIntervalLabel"},
        {voltageIntervalList_, "voltageIntervalList"},
        {temperatureIntervalLabel_, "temperatureIntervalLabel"},
        {temperatureIntervalList_, "temperatureIntervalList"},
        {sendIntervalsButton_, "sendIntervalsButton"},
    });

    connect(unitButtons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            showTable(id);
    });
    connect(voltageIntervalList_, &QComboBox::currentIndexChanged, this,
            &ConfigurationWindow::voltageIntervalChosen);
    // The green cell follows the choice.
    connect(temperatureIntervalList_, &QComboBox::currentIndexChanged, durationTable_->viewport(),
            qOverload<>(&QWidget::update));
    connect(sendIntervalsButton_, &QPushButton::clicked, this,
            [this] { emit intervalSettingRequested(voltageInterval(), temperatureInterval()); });

    showTable(unitButtons_->checkedId());
}

ConfigurationWindow::~ConfigurationWindow() = default;

void ConfigurationWindow::voltageIntervalChosen(int voltageIndex) {
    const int temperatureIndex = temperatureIntervalList_->currentIndex();
    {
        const QSignalBlocker blocker(temperatureIntervalList_);
        temperatureIntervalList_->clear();
        temperatureIntervalList_->addItems(temperatureListLabels(voltageIndex == 0));
        temperatureIntervalList_->setCurrentIndex(temperatureIndex);
    }
    durationTable_->viewport()->update();
}

void ConfigurationWindow::setIntervalSettingEnabled(bool enabled) {
    sendIntervalsButton_->setEnabled(enabled);
}

int ConfigurationWindow::voltageInterval() const {
    return voltageIntervalList_->currentIndex();
}

int ConfigurationWindow::temperatureInterval() const {
    return temperatureIntervalList_->currentIndex();
}

void ConfigurationWindow::chooseIntervals(int voltageIndex, int temperatureIndex) {
    voltageIntervalList_->setCurrentIndex(voltageIndex);
    temperatureIntervalList_->setCurrentIndex(temperatureIndex);
}

void ConfigurationWindow::showTable(int unitIndex) {
    const DurationCellTexts cells = durationCellTexts(unitIndex, locale());
    for (int r = 0; r < kDurationRows; ++r)
        for (int c = 0; c < kDurationColumns; ++c)
            durationTable_->item(r + 1, c + 1)->setText(cells[std::size_t(r)][std::size_t(c)]);
    shownUnit_ = unitIndex;
}

} // namespace veltrano
