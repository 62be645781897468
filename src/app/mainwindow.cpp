#include "mainwindow.h"

#include <algorithm>
#include <utility>

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>
#include <QUrl>

#include "aboutpage.h"
#include "chart/chartview.h"
#include "chart/measuringstatistics.h"
#include "chart/navigation.h"
#include "chart/overviewstrip.h"
#include "chart/paperchart.h"
#include "configurationwindow.h"
#include "eventtable.h"
#include "exportactions.h"
#include "keychecks.h"
#include "link/linkcontroller.h"
#include "link/linktexts.h"
#include "linkadapter.h"
#include "mainwidgets.h"
#include "paper/reportpdf.h"
#include "paper/reportview.h"
#include "printactions.h"
#include "processingrun.h"
#include "uiseams.h"
#include "windowtexts.h"

namespace veltrano {

MainWindow::MainWindow(UiSeams* seams, QWidget* parent)
    : QMainWindow(parent), seams_(seams), model_(new WindowStateModel(this)),
      keyFilter_(new NumberKeyFilter(seams, this)),
      widgets_(new MainWidgets(this, keyFilter_,
                               [this](const QString& text) { seams_->information(this, text); })),
      eventStarts_(EventList::kCapacity), eventEnds_(EventList::kCapacity),
      run_(std::make_unique<ProcessingRun>()), barTimer_(new QTimer(this)),
      aboutPage_(std::make_unique<AboutPage>()) {
    setAcceptDrops(true);
    navigation()->setEventList(eventStarts_, eventEnds_);
    printActions_ = std::make_unique<PrintActions>(this, *seams_);
    exports_ = new ExportActions(*this, *seams_, *chart(), *widgets_->reportBox());
    linkAdapter_ = new LinkAdapter(*model_, *widgets_, *seams_, this);
    connect(linkAdapter_, &LinkAdapter::imageDownloaded, this,
            [this] { imageSource_ = imageSourceOfDownload(QDateTime::currentDateTime()); });
    deviceFinder_ = std::make_unique<UdevDeviceFinder>();
    link_ = std::make_unique<LinkController>(image_, *deviceFinder_, *linkAdapter_);

    const MainWidgets* w = widgets_;
    connect(w, &MainWidgets::openImageRequested, this, &MainWindow::chooseImageToOpen);
    connect(w, &MainWidgets::saveImageRequested, this, &MainWindow::saveImage);
    connect(w, &MainWidgets::processRequested, this, &MainWindow::process);
    connect(w, &MainWidgets::configurationRequested, this, &MainWindow::showConfigurationWindow);
    connect(w, &MainWidgets::aboutRequested, this, &MainWindow::openAboutPage);
    connect(w, &MainWidgets::printReportRequested, this, &MainWindow::printReport);
    connect(w, &MainWidgets::printChartRequested, this, &MainWindow::previewChartPrint);
    connect(w, &MainWidgets::connectRequested, this, &MainWindow::connectLogger);
    connect(w, &MainWidgets::disconnectRequested, this, &MainWindow::disconnectLogger);
    connect(w, &MainWidgets::downloadRequested, this, &MainWindow::startDownload);
    connect(w, &MainWidgets::eraseRequested, this, &MainWindow::eraseLogger);
    connect(w, &MainWidgets::cancelExportRequested, exports_, &ExportActions::cancel);
    connect(w->eventTable(), &EventTable::eventChosen, navigation(),
            &NavigationBox::showChosenEvent);
    connect(exports_, &ExportActions::started, model_, &WindowStateModel::exportStarted);
    connect(exports_, &ExportActions::ended, model_, &WindowStateModel::exportEnded);
    connect(exports_, &ExportActions::progressed, widgets_->exportBar(), &QProgressBar::setValue);
    connect(model_, &WindowStateModel::changed, this, &MainWindow::applyState);
    connect(run_.get(), &ProcessingRun::progressed, this, [this] {
        QProgressBar* bar = widgets_->processingBar();
        bar->setValue(std::min(100, bar->value() + 1));
    });
    connect(run_.get(), &ProcessingRun::finished, this, &MainWindow::runFinished);

    barTimer_->setInterval(20);
    connect(barTimer_, &QTimer::timeout, this, &MainWindow::runOutBars);
    applyState();
}

MainWindow::~MainWindow() {
    closing_ = true;
    run_->cancel();
    exports_->run().cancelAndWait();
}

void MainWindow::setConfigurationWindow(ConfigurationWindow* window) {
    configurationWindow_ = window;
    applyState();
}

void MainWindow::setNotice(QWidget* notice) {
    linkAdapter_->setNotice(notice);
}

QWidget* MainWindow::notice() const {
    return linkAdapter_->notice();
}

const WindowState& MainWindow::state() const {
    return model_->state();
}

const ProcessingResult* MainWindow::result() const {
    return run_->result().get();
}

std::shared_ptr<const ProcessingResult> MainWindow::sharedResult() const {
    return run_->result();
}

ChartView* MainWindow::chart() const {
    return widgets_->chart();
}

NavigationBox* MainWindow::navigation() const {
    return widgets_->navigation();
}

void MainWindow::holdBars() {
    barsHeld_ = true;
    barTimer_->stop();
}

bool MainWindow::barsRunningOut() const {
    return barTimer_->isActive();
}

void MainWindow::applyState() {
    const ControlStates c = controlStates(state());
    widgets_->apply(c);
    if (configurationWindow_)
        configurationWindow_->setIntervalSettingEnabled(c.intervalSetting);
    // A bar whose work has ended runs out; the timer runs only meanwhile.
    const bool toRunOut = (!c.downloadRunning && !widgets_->downloadBar()->isHidden()) ||
                          (!c.processingRunning && !widgets_->processingBar()->isHidden());
    if (toRunOut && !barsHeld_ && !closing_)
        barTimer_->start();
}

void MainWindow::runOutBars() {
    const bool downloaded = state().link != LinkActivity::Downloading;
    const bool processed = !state().processing;
    MainWidgets::stepBar(*widgets_->downloadBar(), downloaded);
    MainWidgets::stepBar(*widgets_->processingBar(), processed);
    if (!(downloaded && !widgets_->downloadBar()->isHidden()) &&
        !(processed && !widgets_->processingBar()->isHidden()))
        barTimer_->stop();
}

ProcessingSettings MainWindow::readSettings() const {
    return widgets_->readSettings();
}

void MainWindow::showSettings(const ProcessingSettings& s) {
    widgets_->showSettings(s);
}

QWidget* MainWindow::filterGroup() const {
    return widgets_->filterGroup();
}

bool MainWindow::downloadMayGo(const QString& question) {
    const WindowState& s = state();
    if (!s.unsavedDownload && s.link != LinkActivity::Downloading)
        return true;
    return seams_->question(this, question);
}

void MainWindow::chooseImageToOpen() {
    const QString path = seams_->openFileName(this);
    if (!path.isEmpty())
        openImage(path);
}

bool MainWindow::openImage(const QString& path) {
    if (state().link == LinkActivity::Downloading) {
        seams_->information(this, windowtext::OpenDuringDownload);
        return false;
    }
    if (!downloadMayGo(windowtext::DiscardDownload))
        return false;
    if (state().processing) {
        deferredOpen_ = path;
        return true;
    }
    if (auto error = image_.load(path)) {
        seams_->information(this, *error);
        return false;
    }
    imageSource_ = imageSourceOfFile(path);
    widgets_->setStatus(linktext::DataReady);
    model_->imageOpened();
    return true;
}

void MainWindow::saveImage() {
    const QString path = seams_->saveFileName(this);
    if (path.isEmpty())
        return;
    if (auto error = image_.save(path))
        seams_->information(this, *error);
    else
        model_->imageSaved();
}

void MainWindow::process() {
    if (state().processing || state().link == LinkActivity::Downloading)
        return;
    ProcessingSettings settings = readSettings();
    settings.imageSource = imageSource_;
    Limits limits;
    if (auto error = readLimits(settings, limits)) {
        seams_->information(this, error->message);
        if (error->field)
            widgets_->focusFilterField(*error->field);
        return;
    }
    chart()->startProcessing(settings.timeUnit);
    widgets_->overviewStrip()->clear();
    widgets_->measuringStatistics()->clearIndex();
    navigation()->setUnit(settings.timeUnit);
    navigation()->forgetShownEvent();
    widgets_->processingBar()->setValue(0);
    emit runStarting();
    model_->runStarted();
    run_->start(image_, settings, decoderState_, reportStyle(widgets_->reportBox()));
}

void MainWindow::runFinished() {
    const RunOutcome& outcome = run_->outcome();
    const std::shared_ptr<const ProcessingResult> result = run_->result();
    if (!outcome.cancelled)
        decoderState_ = outcome.state;
    if (!result || outcome.cancelled || closing_) {
        model_->runEnded(false);
        chart()->endProcessing();
        return;
    }
    std::copy_n(result->eventList.start.get(), EventList::kCapacity, eventStarts_.begin());
    std::copy_n(result->eventList.end.get(), EventList::kCapacity, eventEnds_.begin());
    if (std::unique_ptr<QTextDocument> report = run_->takeReport())
        showReportDocument(widgets_->reportBox(), std::move(report));
    else
        showReport(widgets_->reportBox(), result->report);
    // With thousands of events the report box's hand-over and the rest each hold up the
    // window for tens of milliseconds: the rest comes on the next turn of the event loop. The
    // run counts as going on until then, so nothing can start in between.
    QTimer::singleShot(0, this, [this, result] {
        if (closing_) {
            model_->runEnded(false);
            chart()->endProcessing();
            return;
        }
        reportRun(result, run_->outcome());
        if (!deferredOpen_.isEmpty())
            openImage(std::exchange(deferredOpen_, QString()));
    });
}

void MainWindow::reportRun(const std::shared_ptr<const ProcessingResult>& result,
                           const RunOutcome& outcome) {
    QString problem = outcome.failure;
    // A recording cut off before its end is shown as a closed one, but without a summary.
    const bool completed = problem.isEmpty() && hasRecording(*result);
    model_->runEnded(completed);
    if (completed) {
        const Statistics& s = result->stats;
        chart()->finishRecording(s.voltage.min, s.voltage.max, s.temperature.min, s.temperature.max,
                                 result->lastVoltageTime);
        widgets_->setStatus(windowtext::Processed);
    }
    if (problem.isEmpty() && !result->completed) {
        problem =
            outcome.hasRecordingStart ? windowtext::RecordingNotClosed : windowtext::NoRecording;
    }
    chart()->endProcessing();
    if (completed) {
        // With the limits the run used, whatever the edits hold since.
        chart()->fill(runFill(*result), run_->takePyramids());
        chartShows_ = result;
        // The strip reads the chart's pyramid; the index reads the samples chartShows_ holds.
        widgets_->overviewStrip()->fill(result->events, result->secondsPerUnit);
        widgets_->measuringStatistics()->setIndex(run_->takeRangeStatistics());
        model_->chartDrawn();
    }
    widgets_->showRun(completed ? result : nullptr);
    for (const QString& message : result->messages)
        seams_->information(this, message);
    if (!problem.isEmpty())
        seams_->information(this, problem);
}

void MainWindow::showConfigurationWindow() {
    if (!configurationWindow_)
        return;
    configurationWindow_->show();
    configurationWindow_->raise();
    configurationWindow_->activateWindow();
}

void MainWindow::openAboutPage() {
    const QString path = aboutPage_->path();
    if (path.isEmpty())
        seams_->information(this, windowtext::AboutPageMissing);
    else
        seams_->openUrl(QUrl::fromLocalFile(path));
}

void MainWindow::printReport() {
    printActions_->printReport(*widgets_->reportBox()->document());
}

void MainWindow::previewChartPrint() {
    printActions_->previewChart(*chart());
}

void MainWindow::connectLogger() {
    link_->connectLogger();
}

void MainWindow::disconnectLogger() {
    link_->disconnectLogger();
}

void MainWindow::startDownload() {
    // A download replaces the image; a run must never see that, and the logger serves one
    // conversation at a time.
    if (!controlStates(state()).receiveData || !downloadMayGo(windowtext::DiscardDownload))
        return;
    link_->startDownload();
}

void MainWindow::eraseLogger() {
    if (!controlStates(state()).erase || !downloadMayGo(windowtext::EraseUnsaved))
        return;
    link_->erase();
}

void MainWindow::sendIntervals(int voltageIndex, int temperatureIndex) {
    if (!controlStates(state()).intervalSetting)
        return;
    if (link_->setIntervals(voltageIndex, temperatureIndex) && configurationWindow_)
        configurationWindow_->close();
}

namespace {
// The one local file a drag carries, or an empty string.
QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}
} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    openImage(path);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closing_ && !downloadMayGo(windowtext::DiscardDownload)) {
        event->ignore();
        return;
    }
    closing_ = true;
    run_->cancel();
    exports_->run().cancelAndWait();
    barTimer_->stop();
    QMainWindow::closeEvent(event);
    emit closed();
}

} // namespace veltrano
