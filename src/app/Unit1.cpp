#include "Unit1.h"

#include <algorithm>
#include <utility>

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

#include "Unit2.h"
#include "aboutpage.h"
#include "chart/chartview.h"
#include "chart/navigation.h"
#include "chart/updater.h"
#include "chartfeed.h"
#include "exportactions.h"
#include "keychecks.h"
#include "link/linkcontroller.h"
#include "link/linktexts.h"
#include "linkadapter.h"
#include "logoview.h"
#include "mainwidgets.h"
#include "printactions.h"
#include "processingrun.h"
#include "reportview.h"
#include "uiseams.h"
#include "windowtexts.h"

namespace veltrano {

TForm1::TForm1(UiSeams* seams, QWidget* parent)
    : QMainWindow(parent), seams_(seams), ui_(std::make_unique<MainWidgets>()),
      model_(new WindowStateModel(this)), keyFilter_(new NumberKeyFilter(seams, this)),
      eventStarts_(EventList::kCapacity), eventEnds_(EventList::kCapacity),
      run_(std::make_unique<ProcessingRun>()), aboutPage_(std::make_unique<AboutPage>()) {
    ui_->build(this, keyFilter_, [this](const QString& text) { seams_->information(this, text); });
    setAcceptDrops(true);
    navigation()->setEventList(eventStarts_, eventEnds_);
    printActions_ = std::make_unique<PrintActions>(this, *seams_);
    new ExportActions(*this, *seams_, *ui_);
    linkAdapter_ = new LinkAdapter(*model_, *ui_, *seams_, this);
    deviceFinder_ = std::make_unique<UdevDeviceFinder>();
    link_ = std::make_unique<LinkController>(spanningArray, *deviceFinder_, *linkAdapter_);

    const MainWidgets& w = *ui_;
    connect(w.dataopenen, &QPushButton::clicked, this, &TForm1::dataopenenClick);
    connect(w.Buttontext, &QPushButton::clicked, this, &TForm1::ButtontextClick);
    connect(w.buttonmemo, &QPushButton::clicked, this, &TForm1::buttonmemoClick);
    connect(w.Filtersbutton, &QPushButton::clicked, this, &TForm1::buttonmemoClick);
    connect(w.tijdeenheidButtons, &QButtonGroup::idClicked, this, &TForm1::buttonmemoClick);
    connect(keyFilter_, &NumberKeyFilter::processRequested, this, &TForm1::buttonmemoClick);
    connect(w.Meetintervaltabelbutton, &QPushButton::clicked, this,
            &TForm1::MeetintervaltabelbuttonClick);
    connect(w.Image3, &LogoView::clicked, this, &TForm1::Image3Click);
    connect(w.PDF, &QPushButton::clicked, this, &TForm1::PDFClick);
    connect(w.Grafiekopslaan, &QPushButton::clicked, this, &TForm1::GrafiekopslaanClick);
    connect(w.Connect, &QPushButton::clicked, this, &TForm1::ConnectClick);
    connect(w.disconnect, &QPushButton::clicked, this, &TForm1::disconnectClick);
    connect(w.Buttonreceivedata, &QPushButton::clicked, this, &TForm1::ButtonreceivedataClick);
    connect(w.Buttonerase, &QPushButton::clicked, this, &TForm1::ButtoneraseClick);
    connect(model_, &WindowStateModel::changed, this, &TForm1::applyState);
    connect(run_.get(), &ProcessingRun::progressed, this,
            [this] { ui_->ProgressBar1->setValue(std::min(100, ui_->ProgressBar1->value() + 1)); });
    connect(run_.get(), &ProcessingRun::finished, this, &TForm1::runFinished);

    updater_ =
        std::make_unique<PeriodicUpdater>([this] { DoStuff(); }, [this] { Grafiektekenen(); });
    updater_->start();
    applyState();
}

TForm1::~TForm1() {
    closing_ = true;
    run_->cancel();
    stopUpdater();
}

void TForm1::setConfigurationWindow(TForm2* window) {
    configurationWindow_ = window;
    applyState();
}

void TForm1::setNoticeWindow(QWidget* window) {
    linkAdapter_->setNoticeWindow(window);
}

QWidget* TForm1::configurationWindow() const {
    return configurationWindow_;
}

QWidget* TForm1::noticeWindow() const {
    return linkAdapter_->noticeWindow();
}

const WindowState& TForm1::state() const {
    return model_->state();
}

const ProcessingResult* TForm1::result() const {
    return run_->result();
}

ChartView* TForm1::chart() const {
    return ui_->Chart1;
}

NavigationBox* TForm1::navigation() const {
    return ui_->navigatiegroupbox;
}

void TForm1::setDeviceFinder(std::unique_ptr<DeviceFinder> finder) {
    link_.reset();
    deviceFinder_ = std::move(finder);
    link_ = std::make_unique<LinkController>(spanningArray, *deviceFinder_, *linkAdapter_);
}

void TForm1::stopUpdater() {
    updater_->stop();
}

bool TForm1::updaterRunning() const {
    return updater_->isActive();
}

void TForm1::applyState() {
    const ControlStates c = controlStates(state());
    ui_->apply(c);
    if (configurationWindow_)
        configurationWindow_->setIntervalSettingEnabled(c.intervalSetting);
}

int TForm1::tijdeenheidIndex() const {
    return ui_->tijdeenheidButtons->checkedId();
}

ProcessingSettings TForm1::readSettings() const {
    const MainWidgets& w = *ui_;
    ProcessingSettings s;
    s.locale = QLocale();
    s.overspanning = w.overspanningedit->text();
    s.onderspanning = w.onderspanningedit->text();
    s.temperatuurbovengrens = w.temperatuurbovengrensedit->text();
    s.temperatuurondergrens = w.temperatuurondergrensedit->text();
    s.tijdfilter = w.tijdfilteredit->text();
    s.temperatuurtijdfilter = w.temperatuurtijdfilteredit->text();
    s.tijdfilterUnit = w.tijdfiltercombobox->currentIndex();
    s.temperatuurtijdfilterUnit = w.temperatuurtijdcombobox->currentIndex();
    s.timeUnit = tijdeenheidIndex();
    s.periodStart = w.DateTimePicker1->dateTime();
    s.periodEnd = w.DateTimePicker->dateTime();
    return s;
}

void TForm1::showSettings(const ProcessingSettings& s) {
    const MainWidgets& w = *ui_;
    w.overspanningedit->setText(s.overspanning);
    w.onderspanningedit->setText(s.onderspanning);
    w.temperatuurbovengrensedit->setText(s.temperatuurbovengrens);
    w.temperatuurondergrensedit->setText(s.temperatuurondergrens);
    w.tijdfilteredit->setText(s.tijdfilter);
    w.temperatuurtijdfilteredit->setText(s.temperatuurtijdfilter);
    w.tijdfiltercombobox->setCurrentIndex(s.tijdfilterUnit);
    w.temperatuurtijdcombobox->setCurrentIndex(s.temperatuurtijdfilterUnit);
    if (QAbstractButton* unit = w.tijdeenheidButtons->button(s.timeUnit))
        unit->setChecked(true);
}

QWidget* TForm1::filterGroup() const {
    return ui_->filtersgroupbox;
}

bool TForm1::downloadMayGo(const QString& question) {
    const WindowState& s = state();
    if (!s.unsavedDownload && s.link != LinkActivity::Downloading)
        return true;
    return seams_->question(this, question);
}

void TForm1::dataopenenClick() {
    const QString path = seams_->openFileName(this);
    if (!path.isEmpty())
        openImage(path);
}

bool TForm1::openImage(const QString& path) {
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
    if (auto error = spanningArray.load(path)) {
        seams_->information(this, *error);
        return false;
    }
    ui_->StatusLabel->setText(linktext::DataReady);
    model_->imageOpened();
    return true;
}

void TForm1::ButtontextClick() {
    const QString path = seams_->saveFileName(this);
    if (path.isEmpty())
        return;
    if (auto error = spanningArray.save(path))
        seams_->information(this, *error);
    else
        model_->imageSaved();
}

void TForm1::buttonmemoClick() {
    if (state().processing || state().link == LinkActivity::Downloading)
        return;
    const ProcessingSettings settings = readSettings();
    Limits limits;
    if (auto error = readLimits(settings, limits)) {
        seams_->information(this, error->message);
        if (QLineEdit* edit = ui_->filterEdit(error->field); edit && edit->isEnabled()) {
            edit->setFocus();
            edit->selectAll();
        }
        return;
    }
    // A fill still due belongs to the result this run replaces.
    grafiekmaaktijd = false;
    chart()->startProcessing(settings.timeUnit);
    navigation()->setUnit(settings.timeUnit);
    navigation()->disableEventButtons();
    ui_->ProgressBar1->setValue(0);
    emit runStarting();
    model_->runStarted();
    run_->start(spanningArray, settings, decoderState, chartShows_, reportStyle(ui_->memo1));
}

void TForm1::runFinished() {
    const RunOutcome& outcome = run_->outcome();
    const ProcessingResult* result = run_->result();
    if (!outcome.cancelled)
        decoderState = outcome.state;
    model_->runEnded();
    if (!result || outcome.cancelled || closing_) {
        chart()->endProcessing();
        return;
    }
    std::copy_n(result->calamiteitenarray.start.get(), EventList::kCapacity, eventStarts_.begin());
    std::copy_n(result->calamiteitenarray.end.get(), EventList::kCapacity, eventEnds_.begin());
    if (std::unique_ptr<QTextDocument> report = run_->takeReport())
        showReportDocument(ui_->memo1, std::move(report));
    else
        showReport(ui_->memo1, result->report);
    reportRun(*result, outcome);
    if (!deferredOpen_.isEmpty())
        openImage(std::exchange(deferredOpen_, QString()));
}

void TForm1::reportRun(const ProcessingResult& result, const RunOutcome& outcome) {
    QString problem = outcome.failure;
    if (problem.isEmpty() && result.completed) {
        chart()->finishRecording(result.stats.minspanning, result.stats.maxspanning,
                                 result.stats.mintemperatuur, result.stats.maxtemperatuur,
                                 result.bottomaxismax);
        grafiekmaaktijd = true;
        ui_->StatusLabel->setText(windowtext::Processed);
    } else if (problem.isEmpty()) {
        problem =
            outcome.hasRecordingStart ? windowtext::RecordingNotClosed : windowtext::NoRecording;
    }
    chart()->endProcessing();
    for (const QString& message : result.messages)
        seams_->information(this, message);
    if (!problem.isEmpty())
        seams_->information(this, problem);
}

void TForm1::MeetintervaltabelbuttonClick() {
    if (!configurationWindow_)
        return;
    configurationWindow_->show();
    configurationWindow_->raise();
    configurationWindow_->activateWindow();
}

void TForm1::Image3Click() {
    const QString path = aboutPage_->path();
    if (path.isEmpty())
        seams_->information(this, windowtext::AboutPageMissing);
    else
        seams_->openUrl(QUrl::fromLocalFile(path));
}

void TForm1::PDFClick() {
    printActions_->PDFClick(*ui_->memo1->document());
}

void TForm1::GrafiekopslaanClick() {
    printActions_->GrafiekopslaanClick(*chart());
}

void TForm1::ConnectClick() {
    link_->connectLogger();
}

void TForm1::disconnectClick() {
    link_->disconnectLogger();
}

void TForm1::ButtonreceivedataClick() {
    // A download replaces the image; a run must never see that, and the logger serves one
    // conversation at a time.
    if (!controlStates(state()).receiveData || !downloadMayGo(windowtext::DiscardDownload))
        return;
    link_->startDownload();
}

void TForm1::ButtoneraseClick() {
    if (!controlStates(state()).erase || !downloadMayGo(windowtext::EraseUnsaved))
        return;
    link_->erase();
}

void TForm1::MeetintervallenInstellen(int voltageIndex, int temperatureIndex) {
    if (!controlStates(state()).intervalSetting)
        return;
    if (link_->setIntervals(voltageIndex, temperatureIndex) && configurationWindow_)
        configurationWindow_->close();
}

void TForm1::DoStuff() {
    stepProgressBar(*ui_->ProgressBar2, state().link != LinkActivity::Downloading);
    stepProgressBar(*ui_->ProgressBar1, !state().processing);
}

void TForm1::Grafiektekenen() {
    const ProcessingResult* r = result();
    if (!grafiekmaaktijd || !r || !feedChart(*chart(), *r, *ui_))
        return;
    chartShows_ = r;
    grafiekmaaktijd = false;
    model_->chartDrawn();
}

void TForm1::updateCycle() {
    updater_->cycle();
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

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    openImage(path);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!closing_ && !downloadMayGo(windowtext::DiscardDownload)) {
        event->ignore();
        return;
    }
    closing_ = true;
    run_->cancel();
    stopUpdater();
    QMainWindow::closeEvent(event);
    emit closed();
}

} // namespace veltrano
