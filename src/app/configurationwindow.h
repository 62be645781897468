#pragma once

#include <QWidget>

#include "recording/durationtable.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace veltrano {

// The configuration window: choose the two measurement intervals, see how long the logger
// records with every pair, and ask the main window to send the choice. Its controls carry
// object names after their role.
class ConfigurationWindow : public QWidget {
    Q_OBJECT
public:
    explicit ConfigurationWindow(QWidget* parent = nullptr);
    ~ConfigurationWindow() override;

    // The main window allows sending only while no download, run or other conversation
    // with the logger is under way.
    void setIntervalSettingEnabled(bool enabled);

    // Positions in the two interval lists.
    int voltageInterval() const;
    int temperatureInterval() const;
    // The voltage choice first: it decides which temperature list is shown.
    void chooseIntervals(int voltageIndex, int temperatureIndex);

    // Unit index of the table the grid shows.
    int shownTableUnit() const { return shownUnit_; }

signals:
    // The user wants these list entries sent to the logger.
    void intervalSettingRequested(int voltageIndex, int temperatureIndex);

private:
    void voltageIntervalChosen(int voltageIndex);
    // The duration table in a unit, computed where it is shown: 48 cells take a moment.
    void showTable(int unitIndex);

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

    int shownUnit_ = -1;
};

} // namespace veltrano
