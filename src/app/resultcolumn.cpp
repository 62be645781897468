// MainWidgets: the column beside the chart, the dates, the tabs with the run's report,
// events, days and bands, and the print buttons.
#include "mainwidgets.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "chart/bandchart.h"
#include "daytablemodel.h"
#include "eventtable.h"
#include "logoview.h"
#include "paper/reportview.h"

namespace veltrano {

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

} // namespace veltrano
