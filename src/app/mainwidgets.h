#pragma once

#include <array>
#include <functional>
#include <memory>

#include <QObject>
#include <QPointer>
#include <QString>

#include "analysis/filterfields.h"
#include "analysis/processing.h"

class QButtonGroup;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QProgressBar;
class QPushButton;
class QPlainTextEdit;
class QShortcut;
class QTabWidget;
class QTableView;
class QWidget;

namespace veltrano {

class BandChart;
class ChartView;
class DayTableModel;
class EventTable;
class MeasuringStatistics;
class OverviewStrip;
class LogoView;
class NavigationBox;
class NumberKeyFilter;
struct ControlStates;

// The main window's controls, laid out as the window design arranges them, each with an
// object name after its role. What the user asks of them comes out as signals; what the
// window's state allows goes in through apply().
class MainWidgets : public QObject {
    Q_OBJECT
public:
    // Builds every control into `window` with the start values; the number edits get their
    // key checks from `keys`, and the navigation group shows its messages through `message`.
    MainWidgets(QMainWindow* window, NumberKeyFilter* keys,
                std::function<void(const QString&)> message);

    // The buttons of "Menu", in reading order.
    enum MenuButton {
        Connect,
        Disconnect,
        Download,
        Process,
        OpenImage,
        Erase,
        SaveImage,
        Configuration,
        MenuButtonCount
    };

    // Enables, disables, shows and hides the controls as the window's state says. The
    // download and processing bars are only shown here while their work runs; the update
    // cycle runs them out once it has finished.
    void apply(const ControlStates& states);

    // The settings of a run as the controls hold them now.
    ProcessingSettings readSettings() const;
    // Puts the six filter texts, the two filter units and the time unit of `settings` into
    // the controls; the dates stay as they are.
    void showSettings(const ProcessingSettings& settings);
    // Puts the focus into the input of a field and selects its text, if it can be edited.
    void focusFilterField(FilterField field);
    int timeUnit() const;

    // One step of a progress bar: shown while its work runs; once it has finished, up to 100
    // one step at a time, then hidden.
    static void stepBar(QProgressBar& bar, bool finished);

    void setStatus(const QString& text);
    ChartView* chart() const { return chart_; }
    // "Overzicht" and "Meetlijnen" under the chart.
    OverviewStrip* overviewStrip() const { return overviewStrip_; }
    MeasuringStatistics* measuringStatistics() const { return measuringStatistics_; }
    NavigationBox* navigation() const { return navigation_; }
    QPlainTextEdit* reportBox() const { return reportBox_; }
    // "Calamiteiten", beside the report.
    EventTable* eventTable() const { return eventTable_; }
    // The report and the tables beside it.
    QTabWidget* tabs() const { return tabs_; }
    // The events, days and bands of a finished run beside the report; none: empty.
    void showRun(const std::shared_ptr<const ProcessingResult>& result);
    // "Filter instellingen", whose context menu the remembered settings extend.
    QGroupBox* filterGroup() const { return filterGroup_; }
    QProgressBar* downloadBar() const { return downloadBar_; }
    QProgressBar* eraseBar() const { return eraseBar_; }
    QProgressBar* processingBar() const { return processingBar_; }
    QProgressBar* exportBar() const { return exportBar_; }

signals:
    void connectRequested();
    void disconnectRequested();
    void downloadRequested();
    // "Data verwerken", "Filters toepassen", a time unit, Enter in "Overspanning".
    void processRequested();
    void openImageRequested();
    void saveImageRequested();
    void eraseRequested();
    void configurationRequested();
    void printReportRequested();
    void printChartRequested();
    void aboutRequested();
    // "Annuleren" of an export, or Escape while one runs.
    void cancelExportRequested();

private:
    void buildMenu(QWidget* parent);
    void buildTimeUnits(QWidget* parent);
    void buildFilters(QWidget* parent, NumberKeyFilter* keys);
    void buildChartArea(QWidget* parent);
    QWidget* buildRightColumn(QWidget* parent);
    void connectSignals(NumberKeyFilter* keys);
    void nameControls();
    void describeControls();
    void orderTabs();
    void keepFocus(QWidget* before);
    QLineEdit* edit(FilterField field) const { return filterEdits_[std::size_t(field)]; }

    QMainWindow* window_ = nullptr;

    QPushButton* button(MenuButton b) const { return menuButtons_[std::size_t(b)]; }

    QGroupBox* menuGroup_ = nullptr; // "Menu"
    std::array<QPushButton*, MenuButtonCount> menuButtons_{};

    NavigationBox* navigation_ = nullptr; // "Grafiek navigatie"

    QGroupBox* timeUnitGroup_ = nullptr;
    QButtonGroup* timeUnitButtons_ = nullptr; // ids are the positions 0..4

    QGroupBox* filterGroup_ = nullptr;
    std::array<QLineEdit*, kFilterFieldCount> filterEdits_{}; // by FilterField
    QComboBox* voltageTimeFilterUnitList_ = nullptr;
    QComboBox* temperatureTimeFilterUnitList_ = nullptr;
    QPushButton* applyFiltersButton_ = nullptr;

    QLabel* statusLabel_ = nullptr;

    QWidget* chartArea_ = nullptr;
    ChartView* chart_ = nullptr;
    OverviewStrip* overviewStrip_ = nullptr;
    MeasuringStatistics* measuringStatistics_ = nullptr;
    QProgressBar* downloadBar_ = nullptr;
    QProgressBar* eraseBar_ = nullptr; // erase and interval setting
    QProgressBar* processingBar_ = nullptr;
    QProgressBar* exportBar_ = nullptr;
    QPushButton* cancelExportButton_ = nullptr;
    QShortcut* cancelExportKey_ = nullptr;

    QDateTimeEdit* connectionPicker_ = nullptr;    // "Datum aansluiting"
    QDateTimeEdit* disconnectionPicker_ = nullptr; // "Datum loskoppeling"
    QTabWidget* tabs_ = nullptr; // "Rapport", "Calamiteiten", "Per dag", "Verdeling"
    QLabel* reportLabel_ = nullptr;
    QPlainTextEdit* reportBox_ = nullptr;
    EventTable* eventTable_ = nullptr;
    DayTableModel* dayModel_ = nullptr; // "Per dag"
    QTableView* dayTable_ = nullptr;
    BandChart* voltageBands_ = nullptr; // "Verdeling"
    BandChart* temperatureBands_ = nullptr;
    QGroupBox* printGroup_ = nullptr;
    QPushButton* printReportButton_ = nullptr;
    QPushButton* printChartButton_ = nullptr;
    LogoView* logo_ = nullptr;

    // A control that lost the focus by being disabled, and where Qt put the focus then.
    QPointer<QWidget> focusLost_;
    QPointer<QWidget> focusParked_;
};

} // namespace veltrano
