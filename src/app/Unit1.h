#pragma once

#include <cstdint>
#include <memory>

#include <QMainWindow>
#include <QString>

#include "analysis/processing.h"
#include "chart/chartview.h"
#include "chart/navigation.h"
#include "chart/updater.h"
#include "link/linkcontroller.h"
#include "printactions.h"
#include "recording/decoder.h"
#include "recording/memoryimage.h"

class QButtonGroup;
class QComboBox;
class QDateTimeEdit;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTemporaryDir;
class QTextEdit;
class QTimer;

namespace veltrano {

class LogoView;
class NumberKeyFilter;
class UiSeams;

// The main window: owns the memory image and the run-time state of the whole program.
class TForm1 : public QMainWindow, public LinkWindow {
    Q_OBJECT
public:
    explicit TForm1(UiSeams* seams, QWidget* parent = nullptr);
    ~TForm1() override;

    // Run-time state.
    MemoryImage spanningArray;
    DecoderState decoderState;  // calibration and intervals, kept from run to run
    ProcessingResult result;    // samples, begin points, events and report of the last run
    bool klaarverwerken = true; // no processing run in progress
    bool databinnenhalenklaar = true;
    bool grafiekmaaktijd = false;
    double bottomaxismin = 0, bottomaxismax = 0;
    double leftaxismin = 0, leftaxismax = 0;
    double rightaxismin = 0, rightaxismax = 0;

    // "Menu".
    QGroupBox* MenuGroupBox = nullptr;
    QPushButton* Connect = nullptr;
    QPushButton* disconnect = nullptr;
    QPushButton* Buttonreceivedata = nullptr;
    QPushButton* buttonmemo = nullptr;
    QPushButton* dataopenen = nullptr;
    QPushButton* Buttonerase = nullptr;
    QPushButton* Buttontext = nullptr;
    QPushButton* Meetintervaltabelbutton = nullptr;

    // Stands in for "Grafiek navigatie" until setNavigationGroup() puts the real one there.
    QGroupBox* navigatiegroupbox = nullptr;

    QGroupBox* TijdeenheidRadioGroup = nullptr;
    QButtonGroup* tijdeenheidButtons = nullptr; // ids are the positions 0..4

    QGroupBox* filtersgroupbox = nullptr;
    QLineEdit* overspanningedit = nullptr;
    QLineEdit* onderspanningedit = nullptr;
    QLineEdit* tijdfilteredit = nullptr;
    QComboBox* tijdfiltercombobox = nullptr;
    QLineEdit* temperatuurbovengrensedit = nullptr;
    QLineEdit* temperatuurondergrensedit = nullptr;
    QLineEdit* temperatuurtijdfilteredit = nullptr;
    QComboBox* temperatuurtijdcombobox = nullptr;
    QPushButton* Filtersbutton = nullptr;

    QLabel* StatusLabel = nullptr;

    // The chart area; the placeholder makes way for the chart in setChartWidget().
    QWidget* chartArea = nullptr;
    QWidget* chartPlaceholder = nullptr;
    QProgressBar* ProgressBar2 = nullptr;     // download
    QProgressBar* EraseProgressBar = nullptr; // erase and interval setting
    QProgressBar* ProgressBar1 = nullptr;     // processing

    QDateTimeEdit* DateTimePicker1 = nullptr; // "Datum aansluiting"
    QDateTimeEdit* DateTimePicker = nullptr;  // "Datum loskoppeling"
    QLabel* memolabel = nullptr;
    QTextEdit* memo1 = nullptr;
    QGroupBox* PrintenGroupBox = nullptr;
    QPushButton* PDF = nullptr;
    QPushButton* Grafiekopslaan = nullptr;
    LogoView* Image3 = nullptr;

    ChartView* Chart1 = nullptr;
    NavigationBox* navigation = nullptr; // the real "Grafiek navigatie" (navigatiegroupbox)
    std::unique_ptr<UpdateThread> IThread; // the periodic updater: DoStuff, then Grafiektekenen
    QTimer* Timer1 = nullptr;      // advances the erase bar
    NumberKeyFilter* keyFilter = nullptr;

    // Places for the parts built elsewhere. The chart replaces the placeholder under the
    // progress bars; the navigation group takes its place in the top row, and its edits
    // named Edit1, Edit2 ("Tot", "Vanaf") and calamiteitedit get their key checks.
    void setChartWidget(QWidget* chart);
    void setNavigationGroup(QGroupBox* group);
    void setConfigurationWindow(QWidget* window) { configurationWindow_ = window; }
    void setNoticeWindow(QWidget* window) { noticeWindow_ = window; }
    QWidget* configurationWindow() const { return configurationWindow_; }
    QWidget* noticeWindow() const { return noticeWindow_; }

    int tijdeenheidIndex() const;
    // The settings of a run as the controls hold them now.
    ProcessingSettings readSettings() const;
    // Connected exactly while "Verbreken" shows.
    bool isConnected() const;
    bool isProcessing() const { return running_; }
    // Tests drive the update cycle by hand.
    void stopUpdater();
    bool updaterRunning() const { return IThread && IThread->isRunning(); }

    // The serial link; its receiver holds `teller` and the conversation flags.
    LinkController& link() { return *link_; }
    // Discovery is replaceable so tests can offer their own devices.
    void setDeviceFinder(std::unique_ptr<DeviceFinder> finder);

    // The file part of "Data openen". During a run the open waits for the run's end, so a
    // run never sees its image change.
    bool openImage(const QString& path);

    // What the link needs from the window: the control changes of its actions.
    bool processingIdle() const override { return klaarverwerken; }
    void showConnected() override;
    void showDisconnected() override;
    void downloadStarting() override;
    void downloadProgressStep() override;
    void downloadComplete() override;
    void eraseStarted() override;
    void eraseFinished() override;
    void showNotice() override;
    void beep() override;
    void information(const QString& text) override;
    bool confirm(const QString& text) override;

    QString aboutPagePath() const;

public slots:
    void dataopenenClick();
    void ButtontextClick();
    // The processing action: "Data verwerken", "Filters toepassen", "Tijdeenheid", Enter.
    void buttonmemoClick();
    void MeetintervaltabelbuttonClick();
    void Image3Click();
    void Timer1Timer();
    void PDFClick();
    void GrafiekopslaanClick();
    void ConnectClick();
    void disconnectClick();
    void ButtonreceivedataClick();
    void ButtoneraseClick();
    // "Meetintervallen instellen" of the configuration window.
    void MeetintervallenInstellen(int voltageIndex, int temperatureIndex);
    // One cycle of the two progress bars.
    void DoStuff();
    // Hands a due chart fill to the chart.
    void Grafiektekenen();
    // What the periodic updater runs: DoStuff, then Grafiektekenen.
    void updateCycle();

signals:
    // Start and end of a processing run, for the chart and its navigation.
    void processingStarted(int timeUnit);
    void processingFinished(bool summarised);
    // A chart fill is due. grafiekmaaktijd is already cleared; a chart that cannot fill
    // sets it again.
    void chartFillDue();
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<PrintActions> printActions_;
    // The arrays the chart still shows while a new run fills `result`; freed at the next fill.
    Samples chartSamples_;
    bool chartShowsResult_ = false;
    std::unique_ptr<DeviceFinder> deviceFinder_;
    std::unique_ptr<LinkController> link_;

    void buildMenu(QWidget* parent);
    void buildTimeUnits(QWidget* parent);
    void buildFilters(QWidget* parent);
    void buildChartArea(QWidget* parent);
    QWidget* buildRightColumn(QWidget* parent);
    void startRun();
    // Ends a run, also one that produced no summary or failed; failure is the message then.
    void finishRun(const QString& failure);
    void enableAfterRun();
    void focusField(const QString& caption);

    UiSeams* seams_;
    QWidget* configurationWindow_ = nullptr;
    QWidget* noticeWindow_ = nullptr;
    QGridLayout* chartLayout_ = nullptr;
    bool running_ = false;
    bool closing_ = false;
    QString deferredOpen_;
    std::unique_ptr<QTemporaryDir> aboutDir_;
};

} // namespace veltrano
