#pragma once

#include <memory>
#include <vector>

#include <QMainWindow>
#include <QString>

class QTimer;

#include "analysis/processing.h"
#include "recording/decoder.h"
#include "recording/memoryimage.h"
#include "windowstate.h"

namespace veltrano {

class AboutPage;
class ChartView;
class ConfigurationWindow;
class DeviceFinder;
class ExportActions;
class LinkAdapter;
class LinkController;
class MainWidgets;
class NavigationBox;
class NumberKeyFilter;
class PrintActions;
class ProcessingRun;
class UiSeams;
struct RunOutcome;

// The main window: owns the memory image, the processing runs and the link, and keeps the
// window's state; its handlers read the controls, call the core and show what comes back.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(UiSeams* seams, QWidget* parent = nullptr);
    ~MainWindow() override;

    void setConfigurationWindow(ConfigurationWindow* window);
    // The notice shown while the logger takes over new intervals.
    void setNotice(QWidget* notice);
    ConfigurationWindow* configurationWindow() const { return configurationWindow_; }
    QWidget* notice() const;

    const WindowState& state() const;
    // The image as downloaded or opened.
    const MemoryImage& image() const { return image_; }
    // The last finished run; nullptr during a run and before the first.
    const ProcessingResult* result() const;
    // The same, held: it stays as it is while held, whatever runs later.
    std::shared_ptr<const ProcessingResult> sharedResult() const;
    ChartView* chart() const;
    NavigationBox* navigation() const;
    ProcessingRun& processingRun() { return *run_; }
    // The serial link.
    LinkController& link() { return *link_; }
    ExportActions& exports() { return *exports_; }

    // The settings of a run as the controls hold them now.
    ProcessingSettings readSettings() const;
    // Puts the six filter texts, the two filter units and the time unit of `settings` into
    // the controls; the dates stay as they are.
    void showSettings(const ProcessingSettings& settings);
    // "Filter instellingen", whose context menu the remembered settings extend.
    QWidget* filterGroup() const;
    bool isConnected() const { return state().connected; }
    bool isProcessing() const { return state().processing; }
    bool isExporting() const { return state().exporting; }
    // The download and processing bars run out after their work, a step each 20 ms. Tests
    // hold that and step them by hand.
    void holdBars();
    void runOutBars();
    bool barsRunningOut() const;

    // The file part of "Data openen". During a run the open waits for the run's end, so
    // one report always belongs to one image; during a download it is refused.
    bool openImage(const QString& path);

public slots:
    // "Data openen": the file dialog, then openImage().
    void chooseImageToOpen();
    // "Data opslaan".
    void saveImage();
    // "Data verwerken", "Filters toepassen", "Tijdeenheid", Enter.
    void process();
    void showConfigurationWindow();
    void openAboutPage();
    // "Calamiteiten overzicht" of "Printen".
    void printReport();
    // "Grafiek" of "Printen": the print preview.
    void previewChartPrint();
    void connectLogger();
    void disconnectLogger();
    void startDownload();
    void eraseLogger();
    // "Meetintervallen instellen" of the configuration window.
    void sendIntervals(int voltageIndex, int temperatureIndex);

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
    void reportRun(const std::shared_ptr<const ProcessingResult>& result,
                   const RunOutcome& outcome);
    // Asks before an action that would throw away a download not saved yet.
    bool downloadMayGo(const QString& question);

    UiSeams* seams_;
    WindowStateModel* model_;
    NumberKeyFilter* keyFilter_;
    MainWidgets* widgets_;
    MemoryImage image_;
    DecoderState decoderState_; // calibration and intervals, kept from run to run
    // The result whose arrays the chart draws; held, no run writes into it.
    std::shared_ptr<const ProcessingResult> chartShows_;
    // The event list navigation reads, kept apart from the buffers runs write into.
    std::vector<long double> eventStarts_, eventEnds_;
    std::unique_ptr<ProcessingRun> run_;
    QTimer* barTimer_;
    bool barsHeld_ = false;
    std::unique_ptr<DeviceFinder> deviceFinder_;
    LinkAdapter* linkAdapter_;
    std::unique_ptr<LinkController> link_;
    ExportActions* exports_;
    std::unique_ptr<PrintActions> printActions_;
    std::unique_ptr<AboutPage> aboutPage_;
    ConfigurationWindow* configurationWindow_ = nullptr;
    bool closing_ = false;
    QString deferredOpen_;
    QString imageSource_; // the opened file's name, or the download's end
};

} // namespace veltrano
