#include "mainwidgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include "analysis/processing.h"
#include "chart/bandchart.h"
#include "chart/chartview.h"
#include "chart/measuringstatistics.h"
#include "chart/navigation.h"
#include "chart/overviewstrip.h"
#include "chart/windowgrey.h"
#include "daytablemodel.h"
#include "eventtable.h"
#include "keychecks.h"
#include "logoview.h"
#include "namedlist.h"
#include "objectnames.h"
#include "paper/reportview.h"
#include "recording/timeunits.h"
#include "windowstate.h"

namespace veltrano {

namespace {

// Horizontal room QLineEdit keeps between its frame and its text, on each side.
constexpr int kLineEditMargin = 2;

QProgressBar* progressBar(QWidget* parent, const QString& name) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    bar->setAccessibleName(name);
    return bar;
}

// The arrow keys move the focus among the time units without choosing one: choosing a unit
// processes the recording again, which Space or a click does. Qt's own arrow handling would
// choose each unit it passes. Tab into the group lands on the chosen unit.
class UnitKeys : public QObject {
public:
    UnitKeys(QButtonGroup* units, QObject* parent) : QObject(parent), units_(units) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            QAbstractButton* chosen = units_->checkedButton();
            if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && chosen &&
                chosen != watched && chosen->isEnabled() && chosen->isVisible()) {
                // The unit passed over must not become the group's stop for Tab.
                chosen->setFocus(reason);
                return true;
            }
            return false;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        int step = 0;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            step = -1;
            break;
        case Qt::Key_Down:
        case Qt::Key_Right:
            step = 1;
            break;
        default:
            return false;
        }
        const QList<QAbstractButton*> buttons = units_->buttons();
        for (qsizetype i = buttons.indexOf(watched) + step; i >= 0 && i < buttons.size();
             i += step) {
            if (buttons[i]->isEnabled() && buttons[i]->isVisible()) {
                buttons[i]->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
        return true;
    }

private:
    QButtonGroup* units_;
};

// The floating progress bars: transparent for the mouse, so that the chart under them keeps
// its clicks, except where the one clickable control stands while it shows.
class ProgressArea : public QWidget {
public:
    using QWidget::QWidget;

    void setClickable(QWidget* control) {
        clickable_ = control;
        control->installEventFilter(this);
        updateMask();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Move:
        case QEvent::Resize:
            updateMask();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void updateMask() {
        const bool open = clickable_ && !clickable_->isHidden();
        setAttribute(Qt::WA_TransparentForMouseEvents, !open);
        if (open)
            setMask(QRegion(QRect(clickable_->mapTo(this, QPoint(0, 0)), clickable_->size())));
        else
            clearMask();
    }

    QWidget* clickable_ = nullptr;
};

// Width for an edit that holds a limit or a time filter: a sign, three digits and two
// decimals, with the edit's frame and margins.
int numberEditWidth(const QLineEdit* edit) {
    const QString sample =
        QStringLiteral("-000") + edit->locale().decimalPoint() + QStringLiteral("00");
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QSize text(edit->fontMetrics().horizontalAdvance(sample) + 2 * kLineEditMargin,
                     edit->fontMetrics().height());
    return edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, edit).width();
}

// The buttons of "Menu": caption, object name, place in the group's grid (Verbreken takes the
// place of Verbinden), and what a click asks for.
struct MenuEntry {
    MainWidgets::MenuButton button;
    const char* caption;
    const char* name;
    int row, column, columns;
    void (MainWidgets::*request)();
};
const MenuEntry kMenu[] = {
    {MainWidgets::Connect, "Verbinden", "connectButton", 0, 0, 1, &MainWidgets::connectRequested},
    {MainWidgets::Disconnect, "Verbreken", "disconnectButton", 0, 0, 1,
     &MainWidgets::disconnectRequested},
    {MainWidgets::Download, "Data ophalen", "downloadButton", 0, 1, 1,
     &MainWidgets::downloadRequested},
    {MainWidgets::Process, "Data verwerken", "processButton", 1, 0, 1,
     &MainWidgets::processRequested},
    {MainWidgets::OpenImage, "Data openen", "openImageButton", 1, 1, 1,
     &MainWidgets::openImageRequested},
    {MainWidgets::Erase, "Geheugen wissen", "eraseButton", 2, 0, 1, &MainWidgets::eraseRequested},
    {MainWidgets::SaveImage, "Data opslaan", "saveImageButton", 2, 1, 1,
     &MainWidgets::saveImageRequested},
    {MainWidgets::Configuration, "Configuratiescherm", "configurationButton", 3, 0, 2,
     &MainWidgets::configurationRequested},
};

} // namespace

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
    for (const MenuEntry& entry : kMenu)
        connect(button(entry.button), &QPushButton::clicked, this, entry.request);
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

void MainWidgets::buildMenu(QWidget* parent) {
    menuGroup_ = new QGroupBox(QStringLiteral("Menu"), parent);
    auto* grid = new QGridLayout(menuGroup_);
    for (const MenuEntry& entry : kMenu) {
        auto* b = new QPushButton(QString::fromUtf8(entry.caption), menuGroup_);
        b->setObjectName(QString::fromLatin1(entry.name));
        grid->addWidget(b, entry.row, entry.column, 1, entry.columns);
        menuButtons_[std::size_t(entry.button)] = b;
    }
}

void MainWidgets::buildTimeUnits(QWidget* parent) {
    timeUnitGroup_ = new QGroupBox(QStringLiteral("Tijdeenheid"), parent);
    timeUnitButtons_ = new QButtonGroup(timeUnitGroup_);
    auto* keys = new UnitKeys(timeUnitButtons_, timeUnitGroup_);
    auto* column = new QVBoxLayout(timeUnitGroup_);
    for (int i = 0; i < int(kTimeUnits.size()); ++i) {
        // "Seconden" for the unit "seconden".
        QString caption = QString::fromUtf8(kTimeUnits[std::size_t(i)].plural);
        caption[0] = caption[0].toUpper();
        auto* radio = new QRadioButton(caption, timeUnitGroup_);
        radio->installEventFilter(keys);
        timeUnitButtons_->addButton(radio, i);
        column->addWidget(radio);
    }
    timeUnitButtons_->button(ProcessingSettings::defaults().timeUnit)->setChecked(true);
    column->addStretch(1);
}

void MainWidgets::buildFilters(QWidget* parent, NumberKeyFilter* keys) {
    const ProcessingSettings start = ProcessingSettings::defaults();
    filterGroup_ = new QGroupBox(QStringLiteral("Filter instellingen"), parent);
    auto* grid = new QGridLayout(filterGroup_);
    for (const FilterFieldInfo& f : kFilterFields) {
        auto* e = new QLineEdit(start.filterText(f.field), filterGroup_);
        e->setFixedWidth(numberEditWidth(e));
        // Enter in "Overspanning" processes, as in the window design.
        keys->attach(e, f.field == FilterField::OverVoltage ? NumberKeyRule::LimitWithEnter
                                                            : NumberKeyRule::Limit);
        filterEdits_[std::size_t(f.field)] = e;
    }
    auto units = [this](int index) {
        auto* c = new NamedList(filterGroup_);
        for (const NamedUnit& unit : kFilterUnits)
            c->addItem(QString::fromUtf8(unit.plural));
        c->setCurrentIndex(index);
        return c;
    };
    voltageTimeFilterUnitList_ = units(start.voltageTimeFilterUnit);
    temperatureTimeFilterUnitList_ = units(start.temperatureTimeFilterUnit);
    applyFiltersButton_ = new QPushButton(QStringLiteral("Filters toepassen"), filterGroup_);

    // Each caption stands above its edit, which keeps the group narrow enough for the top
    // row of a laptop screen; the two columns stand close together.
    const int gap = filterGroup_->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    auto field = [this, grid](FilterField f, QComboBox* unit, int row, int column) {
        auto* label = new QLabel(QString::fromUtf8(filterField(f).caption), filterGroup_);
        label->setBuddy(edit(f));
        auto* line = new QHBoxLayout;
        line->addWidget(edit(f));
        if (unit)
            line->addWidget(unit);
        line->addStretch(1);
        auto* cell = new QVBoxLayout;
        cell->setSpacing(1);
        cell->addWidget(label);
        cell->addLayout(line);
        grid->addLayout(cell, row, column);
    };
    field(FilterField::OverVoltage, nullptr, 0, 0);
    field(FilterField::UnderVoltage, nullptr, 1, 0);
    field(FilterField::VoltageTimeFilter, voltageTimeFilterUnitList_, 2, 0);
    field(FilterField::OverTemperature, nullptr, 0, 1);
    field(FilterField::UnderTemperature, nullptr, 1, 1);
    field(FilterField::TemperatureTimeFilter, temperatureTimeFilterUnitList_, 2, 1);
    grid->addWidget(applyFiltersButton_, 3, 0, 1, 2, Qt::AlignRight);
    grid->setHorizontalSpacing(2 * gap);
}

void MainWidgets::buildChartArea(QWidget* parent) {
    chartArea_ = new QWidget(parent);
    auto* layout = new QGridLayout(chartArea_);
    layout->setContentsMargins(0, 0, 0, 0);
    chart_ = new ChartView(chartArea_);
    layout->addWidget(chart_, 0, 0, 3, 3);
    overviewStrip_ = new OverviewStrip(chart_, chartArea_);
    layout->addWidget(overviewStrip_, 3, 0, 1, 3);
    measuringStatistics_ = new MeasuringStatistics(chart_, chartArea_);
    layout->addWidget(measuringStatistics_, 4, 0, 1, 3);

    // The bars float over the middle of the chart; clicks go through to the chart, but for
    // "Annuleren" of an export.
    auto* bars = new ProgressArea(chartArea_);
    auto* column = new QVBoxLayout(bars);
    column->setContentsMargins(0, 0, 0, 0);
    downloadBar_ = progressBar(bars, QStringLiteral("Voortgang ophalen"));
    eraseBar_ = progressBar(bars, QStringLiteral("Voortgang wissen"));
    processingBar_ = progressBar(bars, QStringLiteral("Voortgang verwerken"));
    exportBar_ = progressBar(bars, QStringLiteral("Voortgang exporteren"));
    for (QProgressBar* bar : {downloadBar_, eraseBar_, processingBar_, exportBar_}) {
        bar->setMinimumHeight(chartArea_->fontMetrics().height() * 2);
        bar->setAttribute(Qt::WA_TransparentForMouseEvents);
        column->addWidget(bar);
    }
    cancelExportButton_ = new QPushButton(QStringLiteral("Annuleren"), bars);
    cancelExportButton_->setAccessibleDescription(
        QStringLiteral("Het exporteren afbreken; een bestaand bestand blijft zoals het was"));
    column->addWidget(cancelExportButton_, 0, Qt::AlignHCenter);
    bars->setClickable(cancelExportButton_);
    layout->addWidget(bars, 1, 1);
    layout->setColumnStretch(0, 28);
    layout->setColumnStretch(1, 58);
    layout->setColumnStretch(2, 14);
    layout->setRowStretch(0, 1);
    layout->setRowStretch(2, 1);
    bars->raise();
}

void MainWidgets::showRun(const std::shared_ptr<const ProcessingResult>& result) {
    eventTable_->setResult(result);
    dayModel_->setResult(result);
    dayTable_->resizeColumnsToContents();
    if (!result) {
        voltageBands_->clear();
        temperatureBands_->clear();
        return;
    }
    const Limits& l = result->limits;
    voltageBands_->show(result->voltageBands, double(l.underVoltage), double(l.overVoltage));
    temperatureBands_->show(result->temperatureBands, double(l.underTemperature),
                            double(l.overTemperature));
}

QWidget* MainWidgets::buildRightColumn(QWidget* parent) {
    const ProcessingSettings start = ProcessingSettings::defaults();
    auto* right = new QWidget(parent);
    auto* column = new QVBoxLayout(right);
    column->setContentsMargins(0, 0, 0, 0);

    auto picker = [right](const QDateTime& value) {
        auto* p = new QDateTimeEdit(value, right);
        p->setCalendarPopup(true);
        // With the time shown too, so that the picker keeps the design's time of day.
        p->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat) +
                            QStringLiteral(" HH:mm:ss"));
        return p;
    };
    connectionPicker_ = picker(start.periodStart);
    disconnectionPicker_ = picker(start.periodEnd);
    auto* dates = new QGridLayout;
    auto* startLabel = new QLabel(QStringLiteral("Datum aansluiting"), right);
    auto* endLabel = new QLabel(QStringLiteral("Datum loskoppeling"), right);
    startLabel->setBuddy(connectionPicker_);
    endLabel->setBuddy(disconnectionPicker_);
    dates->addWidget(startLabel, 0, 0);
    dates->addWidget(endLabel, 0, 1);
    dates->addWidget(connectionPicker_, 1, 0);
    dates->addWidget(disconnectionPicker_, 1, 1);
    dates->setColumnStretch(2, 1);
    column->addLayout(dates);

    // The tabs take the room the column gets; the report's long lines wrap at its edge.
    tabs_ = new QTabWidget(right);
    auto* reportPage = new QWidget(tabs_);
    auto* reportColumn = new QVBoxLayout(reportPage);
    reportColumn->setContentsMargins(0, 0, 0, 0);
    reportLabel_ = new QLabel(QStringLiteral("Calamiteiten overzicht"), reportPage);
    reportBox_ = new QPlainTextEdit(reportPage);
    setUpReportBox(reportBox_);
    // A caret for the keyboard, so that the report can be read and copied line by line.
    reportBox_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    reportLabel_->setBuddy(reportBox_);
    reportColumn->addWidget(reportLabel_);
    reportColumn->addWidget(reportBox_, 1);
    eventTable_ = new EventTable(tabs_);

    dayModel_ = new DayTableModel(this);
    auto* daySorter = new QSortFilterProxyModel(this);
    daySorter->setSourceModel(dayModel_);
    daySorter->setSortRole(DayTableModel::SortRole);
    dayTable_ = new QTableView(tabs_);
    dayTable_->setModel(daySorter);
    setUpTable(dayTable_);
    dayTable_->setAccessibleName(QStringLiteral("Per dag"));

    // The two charts scroll rather than make the column taller than a laptop screen.
    auto* bandScroll = new QScrollArea(tabs_);
    bandScroll->setWidgetResizable(true);
    bandScroll->setFrameShape(QFrame::NoFrame);
    auto* bandPage = new QWidget(bandScroll);
    bandScroll->setWidget(bandPage);
    auto* bandColumn = new QVBoxLayout(bandPage);
    voltageBands_ = new BandChart(BandChart::Voltage, bandPage);
    temperatureBands_ = new BandChart(BandChart::Temperature, bandPage);
    bandColumn->addWidget(voltageBands_, 1);
    bandColumn->addWidget(temperatureBands_, 1);

    tabs_->addTab(reportPage, QStringLiteral("Rapport"));
    tabs_->addTab(eventTable_, QStringLiteral("Calamiteiten"));
    tabs_->addTab(dayTable_, QStringLiteral("Per dag"));
    tabs_->addTab(bandScroll, QStringLiteral("Verdeling"));
    column->addWidget(tabs_, 1);

    printGroup_ = new QGroupBox(QStringLiteral("Printen"), right);
    auto* printRow = new QHBoxLayout(printGroup_);
    printReportButton_ = new QPushButton(QStringLiteral("Calamiteiten overzicht"), printGroup_);
    printChartButton_ = new QPushButton(QStringLiteral("Grafiek"), printGroup_);
    printRow->addWidget(printReportButton_);
    printRow->addWidget(printChartButton_);
    column->addWidget(printGroup_, 0, Qt::AlignLeft);

    logo_ = new LogoView(QPixmap(QStringLiteral(":/veltrano/veltrano-logo.png")), right);
    logo_->setToolTip(QStringLiteral("Over Veltrano"));
    column->addWidget(logo_);
    return right;
}

} // namespace veltrano
