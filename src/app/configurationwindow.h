#pragma once

#include <functional>

#include <QWidget>

#include "recording/durationtable.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace veltrano {

// Computes the body cells of the duration table for a unit index; runs on a worker thread.
using DurationTableComputation = std::function<DurationCellTexts(int unitIndex, const QLocale&)>;

// The configuration window: choose the two measurement intervals, see how long the logger
// records with every pair, and ask the main window to send the choice. Its controls carry
// object names after their role.
class ConfigurationWindow : public QWidget {
    Q_OBJECT
public:
    explicit ConfigurationWindow(QWidget* parent = nullptr,
                                 DurationTableComputation computation = durationCellTexts);
    ~ConfigurationWindow() override;

    // The main window allows sending only while no download, run or other conversation
    // with the logger is under way.
    void setIntervalSettingEnabled(bool enabled);

    // Positions in the two interval lists.
    int voltageInterval() const;
    int temperatureInterval() const;
    // The voltage choice first: it decides which temperature list is shown.
    void chooseIntervals(int voltageIndex, int temperatureIndex);

    // Unit index of the table the grid shows, -1 before the first result arrived.
    int shownTableUnit() const { return shownUnit_; }

signals:
    // The user wants these list entries sent to the logger.
    void intervalSettingRequested(int voltageIndex, int temperatureIndex);
    // A computed table has been written into the grid.
    void durationTableShown(int unitIndex);

private:
    void voltageIntervalChosen(int voltageIndex);
    void startTableComputation(int unitIndex);
    void showTable(int unitIndex, const DurationCellTexts& cells);

    QLabel* temperatureHeading_ = nullptr;
    QLabel* voltageHeading_ = nullptr;
    QTableWidget* durationTable_ = nullptr;
    QGroupBox* unitGroup_ = nullptr;
    QButtonGroup* unitButtons_ = nullptr; // id = unit index
    QLabel* voltageIntervalLabel_ = nullptr;
    QComboBox* voltageIntervalList_ = nullptr;
    QLabel* temperatureIntervalLabel_ = nullptr;
    QComboBox* temperatureIntervalList_ = nullptr;
    QPushButton* sendIntervalsButton_ = nullptr;

    DurationTableComputation computation_;
    quint64 generation_ = 0;
    int shownUnit_ = -1;
};

} // namespace veltrano
