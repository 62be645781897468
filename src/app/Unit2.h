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
// records with every pair, and ask the main window to send the choice.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr,
                    DurationTableComputation computation = durationCellTexts);
    ~TForm2() override;

    QLabel* TemperatuurLabel = nullptr;
    QLabel* SpanningLabel = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QButtonGroup* RadioGroup1Items = nullptr; // id = unit index
    QLabel* MeetintervalSpanningLabel = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* MeetintervalTemperatuurLabel = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QPushButton* Buttonmeetintervallen = nullptr;

    // The main window allows sending only while no download, run or other conversation
    // with the logger is under way.
    void setIntervalSettingEnabled(bool enabled);

    // Unit index of the table the grid shows, -1 before the first result arrived.
    int shownTableUnit() const { return shownUnit_; }

signals:
    // The user wants these list entries sent to the logger.
    void intervalSettingRequested(int voltageIndex, int temperatureIndex);
    // A computed table has been written into the grid.
    void durationTableShown(int unitIndex);

private slots:
    void RadioGroup1Click(int unitIndex);
    void ComboBox1Change(int voltageIndex);
    void ComboBox2Change(int temperatureIndex);
    void ButtonmeetintervallenClick();

private:
    void startTableComputation(int unitIndex);
    void showTable(int unitIndex, const DurationCellTexts& cells);

    DurationTableComputation computation_;
    quint64 generation_ = 0;
    int shownUnit_ = -1;
};

} // namespace veltrano
