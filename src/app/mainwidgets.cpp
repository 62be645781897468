#include "mainwidgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include "analysis/processing.h"
#include "chart/bandchart.h"
#include "chart/chartview.h"
#include "chart/navigation.h"
#include "chart/overviewstrip.h"
#include "chart/windowgrey.h"
#include "eventtable.h"
#include "keychecks.h"
#include "logoview.h"
#include "objectnames.h"
#include "windowstate.h"

namespace veltrano {

MainWidgets::MainWidgets(QMainWindow* window, NumberKeyFilter* keys,
                         std::function<void(const QString&)> message)
    : QObject(window), window_(window) {
    window->setWindowTitle(QStringLiteral("Veltrano"));
    useWindowGrey(*window);

    auto* scroll = new QScrollArea(window);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // Not a stop of its own for Tab; it scrolls to whatever control takes the focus.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget(scroll);
    content->setAutoFillBackground(true);

    buildMenu(content);
    buildChartArea(content);
    navigation_ = new NavigationBox(chart_, std::move(message), content);
    for (QLineEdit* edit : {navigation_->fromEdit(), navigation_->toEdit()})
        keys->attach(edit, NumberKeyRule::Range);
    keys->attachDigitsOnly(navigation_->eventNumberEdit());
    buildTimeUnits(content);
    buildFilters(content, keys);
    statusLabel_ = new QLabel(content);
    QWidget* right = buildRightColumn(content);

    auto* navigationColumn = new QVBoxLayout;
    navigationColumn->addWidget(navigation_);
    navigationColumn->addWidget(statusLabel_);
    navigationColumn->addStretch(1);

    // The groups keep their own widths and span the row as in the design; on a wide screen
    // the room left over goes into the gaps between them.
    auto* top = new QHBoxLayout;
    top->addWidget(menuGroup_, 0, Qt::AlignTop);
    top->addStretch(1);
    top->addLayout(navigationColumn);
    top->addStretch(1);
    top->addWidget(timeUnitGroup_, 0, Qt::AlignTop);
    top->addStretch(1);
    top->addWidget(filterGroup_, 0, Qt::AlignTop);

    // The chart and the report column share the width; on a laptop screen the report's
    // share leaves room for a label, its tab and a short value on one line.
    auto* grid = new QGridLayout(content);
    grid->addLayout(top, 0, 0, 1, 2);
    grid->addWidget(chartArea_, 1, 0);
    grid->addWidget(right, 1, 1);
    grid->setColumnStretch(0, 7);
    grid->setColumnStretch(1, 3);
    grid->setRowStretch(1, 1);

    scroll->setWidget(content);
    window->setCentralWidget(scroll);
    nameControls();
    describeControls();
    orderTabs();
    connectSignals(keys);

    // The bars stand full until their work starts; the download bar shows from the start.
    downloadBar_->setValue(100);
    processingBar_->setValue(100);
    processingBar_->hide();
}

void MainWidgets::connectSignals(NumberKeyFilter* keys) {
    const std::pair<QPushButton*, void (MainWidgets::*)()> buttons[] = {
        {applyFiltersButton_, &MainWidgets::processRequested},
        {printReportButton_, &MainWidgets::printReportRequested},
        {printChartButton_, &MainWidgets::printChartRequested},
    };
    for (const auto& [b, request] : buttons)
        connect(b, &QPushButton::clicked, this, request);
    connect(timeUnitButtons_, &QButtonGroup::idClicked, this, &MainWidgets::processRequested);
    connect(keys, &NumberKeyFilter::processRequested, this, &MainWidgets::processRequested);
    connect(logo_, &LogoView::clicked, this, &MainWidgets::aboutRequested);
    connect(cancelExportButton_, &QPushButton::clicked, this, &MainWidgets::cancelExportRequested);
    // The tabs beside the chart switch with Ctrl+Tab wherever the focus is.
    for (const auto& [keys, step] :
         {std::pair(QKeySequence(Qt::CTRL | Qt::Key_Tab), 1),
          std::pair(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1),
          std::pair(QKeySequence(Qt::CTRL | Qt::Key_Backtab), -1)}) {
        connect(new QShortcut(keys, window_), &QShortcut::activated, this, [this, step = step] {
            tabs_->setCurrentIndex((tabs_->currentIndex() + step + tabs_->count()) %
                                   tabs_->count());
        });
    }
    // Escape stops an export while one runs (and only then: the chart pages with it too).
    cancelExportKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), window_);
    connect(cancelExportKey_, &QShortcut::activated, this, &MainWidgets::cancelExportRequested);

    // A shortcut does what its button does, and nothing while the button is disabled.
    const std::pair<QKeySequence, QPushButton*> keysToButtons[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_O), button(OpenImage)},
        {QKeySequence(Qt::CTRL | Qt::Key_S), button(SaveImage)},
        {QKeySequence(Qt::CTRL | Qt::Key_P), printReportButton_},
    };
    for (const auto& [key, b] : keysToButtons) {
        auto* shortcut = new QShortcut(key, window_);
        connect(shortcut, &QShortcut::activated, b, &QPushButton::click);
    }
}

void MainWidgets::nameControls() {
    nameObjects({
        {menuGroup_, "menuGroup"},
        {timeUnitGroup_, "timeUnitGroup"},
        {timeUnitButtons_, "timeUnitButtons"},
        {filterGroup_, "filterGroup"},
        {voltageTimeFilterUnitList_, "voltageTimeFilterUnitList"},
        {temperatureTimeFilterUnitList_, "temperatureTimeFilterUnitList"},
        {applyFiltersButton_, "applyFiltersButton"},
        {statusLabel_, "statusLabel"},
        {chartArea_, "chartArea"},
        {downloadBar_, "downloadBar"},
        {eraseBar_, "eraseBar"},
        {processingBar_, "processingBar"},
        {exportBar_, "exportBar"},
        {cancelExportButton_, "cancelExportButton"},
        {connectionPicker_, "connectionPicker"},
        {disconnectionPicker_, "disconnectionPicker"},
        {reportLabel_, "reportLabel"},
        {reportBox_, "reportBox"},
        {tabs_, "tabs"},
        {tabs_->tabBar(), "tabBar"},
        {eventTable_, "eventTable"},
        {eventTable_->view(), "eventTableView"},
        {eventTable_->kindFilter(), "eventKindFilter"},
        {dayTable_, "dayTableView"},
        {voltageBands_, "voltageBandChart"},
        {temperatureBands_, "temperatureBandChart"},
        {printGroup_, "printGroup"},
        {printReportButton_, "printReportButton"},
        {printChartButton_, "printChartButton"},
        {logo_, "logo"},
    });
    // "overVoltageEdit" for the key "Filters/overVoltage".
    for (const FilterFieldInfo& f : kFilterFields)
        filterEdits_[std::size_t(f.field)]->setObjectName(
            QString::fromLatin1(f.settingsKey).section(QLatin1Char('/'), 1) +
            QStringLiteral("Edit"));
}

// Names for what no caption names, and descriptions for what shares its caption with another
// control; the labels name their buddies.
void MainWidgets::describeControls() {
    voltageTimeFilterUnitList_->setAccessibleName(QStringLiteral("Tijdfilter spanning eenheid"));
    temperatureTimeFilterUnitList_->setAccessibleName(
        QStringLiteral("Tijdfilter temperatuur eenheid"));
    QWidget* plot = chart_->plot();
    plot->setAccessibleName(QStringLiteral("Grafiek spanning en temperatuur"));
    plot->setAccessibleDescription(
        QStringLiteral("Spanning en temperatuur tegen de tijd, met de vier grenzen. Pijl links en "
                       "rechts: vorige en volgende tijdeenheid; Home: eerste tijdeenheid; "
                       "Escape: de hele opname."));
    for (int s = 0; s < ChartView::SeriesCount; ++s) {
        QCheckBox* box = chart_->legendCheckBox(ChartView::Series(s));
        box->setAccessibleDescription(
            QStringLiteral("Lijn %1 in de grafiek tonen").arg(box->text()));
    }
    reportBox_->setAccessibleDescription(
        QStringLiteral("De calamiteiten van de verwerkte opname en de samenvatting ervan"));
    printReportButton_->setAccessibleDescription(QStringLiteral("Calamiteiten overzicht printen"));
    printChartButton_->setAccessibleDescription(
        QStringLiteral("Grafiek printen, na een afdrukvoorbeeld"));
    logo_->setAccessibleName(logo_->toolTip());
    logo_->setAccessibleDescription(QStringLiteral("Opent de pagina over Veltrano"));
}

// Tab follows the reading order: the groups of the top row from left to right, each from
// its first row to its last, then the chart, then the column beside it.
void MainWidgets::orderTabs() {
    QList<QWidget*> chain(menuButtons_.begin(), menuButtons_.end());
    chain += navigation_->readingOrder();
    for (QAbstractButton* unit : timeUnitButtons_->buttons())
        chain << unit;
    // The voltage column of "Filter instellingen", then the temperature column.
    chain << edit(FilterField::OverVoltage) << edit(FilterField::UnderVoltage)
          << edit(FilterField::VoltageTimeFilter) << voltageTimeFilterUnitList_
          << edit(FilterField::OverTemperature) << edit(FilterField::UnderTemperature)
          << edit(FilterField::TemperatureTimeFilter) << temperatureTimeFilterUnitList_
          << applyFiltersButton_;
    chain << chart_->markersCheckBox() << chart_->plot() << cancelExportButton_;
    for (int s = 0; s < ChartView::SeriesCount; ++s)
        chain << chart_->legendCheckBox(ChartView::Series(s));
    chain << overviewStrip_;
    chain << connectionPicker_ << disconnectionPicker_ << tabs_ << reportBox_ << printReportButton_
          << printChartButton_ << logo_;
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void MainWidgets::apply(const ControlStates& c) {
    QWidget* const focus = window_->focusWidget();
    button(Connect)->setVisible(c.connectShown);
    button(Disconnect)->setVisible(!c.connectShown);
    // "Verbreken" takes the place of "Verbinden", and the focus with it, and back.
    if (focus == button(Connect) && !c.connectShown)
        button(Disconnect)->setFocus(Qt::OtherFocusReason);
    else if (focus == button(Disconnect) && c.connectShown)
        button(Connect)->setFocus(Qt::OtherFocusReason);
    button(Download)->setEnabled(c.receiveData);
    button(Process)->setEnabled(c.process);
    timeUnitGroup_->setEnabled(c.timeUnits);
    filterGroup_->setEnabled(c.filters);
    applyFiltersButton_->setEnabled(c.filters);
    button(Configuration)->setEnabled(c.configuration);
    button(Erase)->setEnabled(c.erase);
    navigation_->setEnabled(c.navigation);
    if (c.downloadRunning)
        downloadBar_->show();
    eraseBar_->setVisible(c.eraseBar);
    eraseBar_->setEnabled(c.eraseBar);
    if (c.processingRunning)
        processingBar_->show();
    exportBar_->setVisible(c.exportBar);
    cancelExportButton_->setVisible(c.exportBar);
    cancelExportKey_->setEnabled(c.exportBar);
    if (!c.exportBar)
        exportBar_->setValue(0);
    keepFocus(focus);
}

// Qt moves the focus on from a control that is disabled, or drops it when the control's
// group is disabled. A control the window disables while it works gets the focus back once
// it is usable again, so that a keyboard user goes on where they were; unless they have put
// the focus elsewhere meanwhile.
void MainWidgets::keepFocus(QWidget* before) {
    QWidget* const now = window_->focusWidget();
    if (before && before != now && !before->isEnabled()) {
        focusLost_ = before;
        focusParked_ = now;
        return;
    }
    if (!focusLost_)
        return;
    if (now != focusParked_) {
        focusLost_.clear();
    } else if (focusLost_->isEnabled() && focusLost_->isVisible()) {
        focusLost_->setFocus(Qt::OtherFocusReason);
        focusLost_.clear();
    }
}

ProcessingSettings MainWidgets::readSettings() const {
    ProcessingSettings s;
    s.locale = QLocale();
    for (const FilterFieldInfo& f : kFilterFields)
        s.filterText(f.field) = edit(f.field)->text();
    s.voltageTimeFilterUnit = voltageTimeFilterUnitList_->currentIndex();
    s.temperatureTimeFilterUnit = temperatureTimeFilterUnitList_->currentIndex();
    s.timeUnit = timeUnit();
    s.periodStart = connectionPicker_->dateTime();
    s.periodEnd = disconnectionPicker_->dateTime();
    return s;
}

void MainWidgets::showSettings(const ProcessingSettings& s) {
    for (const FilterFieldInfo& f : kFilterFields)
        edit(f.field)->setText(s.filterText(f.field));
    voltageTimeFilterUnitList_->setCurrentIndex(s.voltageTimeFilterUnit);
    temperatureTimeFilterUnitList_->setCurrentIndex(s.temperatureTimeFilterUnit);
    if (QAbstractButton* unit = timeUnitButtons_->button(s.timeUnit))
        unit->setChecked(true);
}

void MainWidgets::focusFilterField(FilterField field) {
    QLineEdit* e = edit(field);
    if (!e->isEnabled())
        return;
    e->setFocus();
    e->selectAll();
}

int MainWidgets::timeUnit() const {
    return timeUnitButtons_->checkedId();
}

void MainWidgets::stepBar(QProgressBar& bar, bool finished) {
    if (!finished)
        bar.show();
    else if (bar.value() >= 100)
        bar.hide();
    else
        bar.setValue(bar.value() + 1);
}

void MainWidgets::setStatus(const QString& text) {
    statusLabel_->setText(text);
}

} // namespace veltrano
