#pragma once

#include <memory>
#include <vector>

#include <QMainWindow>
#include <QString>

#include "analysis/processing.h"
#include "recording/decoder.h"
#include "recording/memoryimage.h"
#include "windowstate.h"

namespace veltrano {

class AboutPage;
class ChartView;
class DeviceFinder;
class LinkAdapter;
class LinkController;
class NavigationBox;
class NumberKeyFilter;
class PeriodicUpdater;
class PrintActions;
class ProcessingRun;
class TForm2;
class UiSeams;
struct MainWidgets;
struct RunOutcome;

// The main window: owns the memory image, the processing runs and the link, and keeps the
// window's state; its handlers read the controls, call the core and show what comes back.
// The controls carry their design names as object names.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(UiSeams* seams, QWidget* parent = nullptr);
    ~TForm1() override;

    void setConfigurationWindow(TForm2* window);
    void setNoticeWindow(QWidget* window);
    QWidget* configurationWindow() const;
    QWidget* noticeWindow() const;

    const WindowState& state() const;
    // The image as downloaded or opened.
    const MemoryImage& image() const { return spanningArray; }
    // The last finished run; nullptr during a run and before the first.
    const ProcessingResult* result() const;
    ChartView* chart() const;
    NavigationBox* navigation() const;
    ProcessingRun& processingRun() { return *run_; }
    // The serial link; its receiver holds `teller` and the conversation flags.
    LinkController& link() { return *link_; }
    // Discovery is replaceable so tests can offer their own devices.
    void setDeviceFinder(std::unique_ptr<DeviceFinder> finder);

    int tijdeenheidIndex() const;
    // The settings of a run as the controls hold them now.
    ProcessingSettings readSettings() const;
    // Puts the six filter texts, the two filter units and the time unit of `settings` into
    // the controls; the dates stay as they are.
    void showSettings(const ProcessingSettings& settings);
    // "Filter instellingen", whose context menu the remembered settings extend.
    QWidget* filterGroup() const;
    bool isConnected() const { return state().connected; }
    bool isProcessing() const { return state().processing; }
    // A chart fill is due (`grafiekmaaktijd`).
    bool chartFillDue() const { return grafiekmaaktijd; }
    // Tests drive the update cycle by hand.
    void stopUpdater();
    bool updaterRunning() const;

    // The file part of "Data openen". During a run the open waits for the run's end, so
    // one report always belongs to one image; during a download it is refused.
    bool openImage(const QString& path);

public slots:
    void dataopenenClick();
    void ButtontextClick();
    // The processing action: "Data verwerken", "Filters toepassen", "Tijdeenheid", Enter.
    void buttonmemoClick();
    void MeetintervaltabelbuttonClick();
    void Image3Click();
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
    void closed();
    // A processing run starts with the settings the controls hold.
    void runStarting();

protected:
    void closeEvent(QCloseEvent* event) override;
    // A file dropped on the window opens as "Data openen" with that file would.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void applyState();
    void runFinished();
    void reportRun(const ProcessingResult& result, const RunOutcome& outcome);
    // Asks before an action that would throw away a download not saved yet.
    bool downloadMayGo(const QString& question);

    UiSeams* seams_;
    std::unique_ptr<MainWidgets> ui_;
    WindowStateModel* model_;
    NumberKeyFilter* keyFilter_;
    MemoryImage spanningArray;
    DecoderState decoderState; // calibration and intervals, kept from run to run
    bool grafiekmaaktijd = false;
    // The result whose arrays the chart draws; a run never writes into it.
    const ProcessingResult* chartShows_ = nullptr;
    // The event list navigation reads, kept apart from the buffers runs write into.
    std::vector<long double> eventStarts_, eventEnds_;
    std::unique_ptr<ProcessingRun> run_;
    std::unique_ptr<PeriodicUpdater> updater_;
    std::unique_ptr<DeviceFinder> deviceFinder_;
    LinkAdapter* linkAdapter_;
    std::unique_ptr<LinkController> link_;
    std::unique_ptr<PrintActions> printActions_;
    std::unique_ptr<AboutPage> aboutPage_;
    TForm2* configurationWindow_ = nullptr;
    bool closing_ = false;
    QString deferredOpen_;
};

} // namespace veltrano
