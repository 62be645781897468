#include "Unit1.h"

#include <algorithm>
#include <exception>

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "analysis/numbers.h"
#include "keychecks.h"
#include "logoview.h"
#include "recording/timeunits.h"
#include "reportview.h"
#include "uiseams.h"

namespace veltrano {

namespace {

const QColor kWindowGrey(160, 160, 164);
constexpr int kEraseTickMs = 2100;
const QString kAboutPageName = QStringLiteral("veltrano-about.html");

// The decoder passes over everything before the first recording-start word, so an image
// without one yields nothing at all.
bool hasRecordingStart(const std::uint8_t* image) {
    for (std::size_t i = 0; i < kImageWords; ++i)
        if (splitWord(image, i).tag == tag::RecordingStart)
            return true;
    return false;
}

QProgressBar* progressBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    return bar;
}

// Width for an edit that holds a short number.
int numberEditWidth(const QWidget* w) {
    return w->fontMetrics().horizontalAdvance(QStringLiteral("-00000,00")) + 16;
}

} // namespace

TForm1::TForm1(UiSeams* seams, QWidget* parent) : QMainWindow(parent), seams_(seams) {
    setWindowTitle(QStringLiteral("Veltrano"));
    QPalette grey = palette();
    grey.setColor(QPalette::Window, kWindowGrey);
    setPalette(grey);

    keyFilter = new NumberKeyFilter(seams_, this);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget(scroll);
    content->setAutoFillBackground(true);

    buildMenu(content);
    navigatiegroupbox = new QGroupBox(QStringLiteral("Grafiek navigatie"), content);
    navigatiegroupbox->setEnabled(false);
    navigatiegroupbox->setMinimumWidth(fontMetrics().averageCharWidth() * 36);
    buildTimeUnits(content);
    buildFilters(content);
    StatusLabel = new QLabel(content);
    buildChartArea(content);
    QWidget* right = buildRightColumn(content);

    auto* navigationColumn = new QVBoxLayout;
    navigationColumn->addWidget(navigatiegroupbox, 1);
    navigationColumn->addWidget(StatusLabel);

    auto* top = new QHBoxLayout;
    top->addWidget(MenuGroupBox, 0, Qt::AlignTop);
    top->addLayout(navigationColumn, 1);
    top->addWidget(TijdeenheidRadioGroup, 0, Qt::AlignTop);
    top->addWidget(filtersgroupbox, 0, Qt::AlignTop);

    auto* grid = new QGridLayout(content);
    grid->addLayout(top, 0, 0, 1, 2);
    grid->addWidget(chartArea, 1, 0);
    grid->addWidget(right, 1, 1);
    grid->setColumnStretch(0, 8);
    grid->setColumnStretch(1, 3);
    grid->setRowStretch(1, 1);

    scroll->setWidget(content);
    setCentralWidget(scroll);

    // The design's names, so that the controls can be found by them.
    const std::pair<QWidget*, const char*> names[] = {
        {MenuGroupBox, "MenuGroupBox"},
        {Connect, "Connect"},
        {disconnect, "disconnect"},
        {Buttonreceivedata, "Buttonreceivedata"},
        {buttonmemo, "buttonmemo"},
        {dataopenen, "dataopenen"},
        {Buttonerase, "Buttonerase"},
        {Buttontext, "Buttontext"},
        {Meetintervaltabelbutton, "Meetintervaltabelbutton"},
        {navigatiegroupbox, "navigatiegroupbox"},
        {TijdeenheidRadioGroup, "TijdeenheidRadioGroup"},
        {filtersgroupbox, "filtersgroupbox"},
        {overspanningedit, "overspanningedit"},
        {onderspanningedit, "onderspanningedit"},
        {tijdfilteredit, "tijdfilteredit"},
        {tijdfiltercombobox, "tijdfiltercombobox"},
        {temperatuurbovengrensedit, "temperatuurbovengrensedit"},
        {temperatuurondergrensedit, "temperatuurondergrensedit"},
        {temperatuurtijdfilteredit, "temperatuurtijdfilteredit"},
        {temperatuurtijdcombobox, "temperatuurtijdcombobox"},
        {Filtersbutton, "Filtersbutton"},
        {StatusLabel, "StatusLabel"},
        {ProgressBar2, "ProgressBar2"},
        {EraseProgressBar, "EraseProgressBar"},
        {ProgressBar1, "ProgressBar1"},
        {DateTimePicker1, "DateTimePicker1"},
        {DateTimePicker, "DateTimePicker"},
        {memolabel, "memolabel"},
        {memo1, "memo1"},
        {PrintenGroupBox, "PrintenGroupBox"},
        {PDF, "PDF"},
        {Grafiekopslaan, "Grafiekopslaan"},
        {Image3, "Image3"},
    };
    for (const auto& [widget, name] : names)
        widget->setObjectName(QString::fromLatin1(name));

    // Start values of the window design.
    overspanningedit->setText(QStringLiteral("12") + QLocale().decimalPoint() +
                              QStringLiteral("6"));
    ProgressBar2->setValue(100);
    ProgressBar1->setValue(100);
    ProgressBar1->hide();
    EraseProgressBar->hide();

    connect(dataopenen, &QPushButton::clicked, this, &TForm1::dataopenenClick);
    connect(Buttontext, &QPushButton::clicked, this, &TForm1::ButtontextClick);
    connect(buttonmemo, &QPushButton::clicked, this, &TForm1::buttonmemoClick);
    connect(Filtersbutton, &QPushButton::clicked, this, &TForm1::buttonmemoClick);
    connect(tijdeenheidButtons, &QButtonGroup::idClicked, this, &TForm1::buttonmemoClick);
    connect(keyFilter, &NumberKeyFilter::processRequested, this, &TForm1::buttonmemoClick);
    connect(Meetintervaltabelbutton, &QPushButton::clicked, this,
            &TForm1::MeetintervaltabelbuttonClick);
    connect(Image3, &LogoView::clicked, this, &TForm1::Image3Click);

    Chart1 = new ChartView;
    setChartWidget(Chart1);
    navigation = new NavigationBox(
        Chart1, [this](const QString& text) { seams_->information(this, text); });
    setNavigationGroup(navigation);
    navigation->setEnabled(false);
    navigation->setEventList({result.calamiteitenarray.start.get(), EventList::kCapacity},
                             {result.calamiteitenarray.end.get(), EventList::kCapacity});
    printActions_ = std::make_unique<PrintActions>(this);
    connect(PDF, &QPushButton::clicked, this, &TForm1::PDFClick);
    connect(Grafiekopslaan, &QPushButton::clicked, this, &TForm1::GrafiekopslaanClick);
    IThread = std::make_unique<UpdateThread>([this] { DoStuff(); }, [this] { Grafiektekenen(); });
    IThread->start();
    deviceFinder_ = std::make_unique<UdevDeviceFinder>();
    link_ = std::make_unique<LinkController>(spanningArray, *deviceFinder_, *this);
    connect(Connect, &QPushButton::clicked, this, &TForm1::ConnectClick);
    connect(disconnect, &QPushButton::clicked, this, &TForm1::disconnectClick);
    connect(Buttonreceivedata, &QPushButton::clicked, this, &TForm1::ButtonreceivedataClick);
    connect(Buttonerase, &QPushButton::clicked, this, &TForm1::ButtoneraseClick);
    Timer1 = new QTimer(this);
    Timer1->setInterval(kEraseTickMs);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
}

TForm1::~TForm1() { stopUpdater(); }

void TForm1::stopUpdater() {
    if (IThread)
        IThread->stop();
}

void TForm1::PDFClick() { printActions_->PDFClick(*memo1->document()); }

void TForm1::GrafiekopslaanClick() { printActions_->GrafiekopslaanClick(*Chart1); }

void TForm1::buildMenu(QWidget* parent) {
    MenuGroupBox = new QGroupBox(QStringLiteral("Menu"), parent);
    auto* grid = new QGridLayout(MenuGroupBox);
    auto button = [this](const char* text) {
        return new QPushButton(QString::fromUtf8(text), MenuGroupBox);
    };
    Connect = button("Verbinden");
    disconnect = button("Verbreken");
    disconnect->hide();
    Buttonreceivedata = button("Data ophalen");
    Buttonreceivedata->setEnabled(false);
    buttonmemo = button("Data verwerken");
    buttonmemo->setEnabled(false);
    dataopenen = button("Data openen");
    Buttonerase = button("Geheugen wissen");
    Buttontext = button("Data opslaan");
    Meetintervaltabelbutton = button("Configuratiescherm");
    grid->addWidget(Connect, 0, 0);
    grid->addWidget(disconnect, 0, 0);
    grid->addWidget(Buttonreceivedata, 0, 1);
    grid->addWidget(buttonmemo, 1, 0);
    grid->addWidget(dataopenen, 1, 1);
    grid->addWidget(Buttonerase, 2, 0);
    grid->addWidget(Buttontext, 2, 1);
    grid->addWidget(Meetintervaltabelbutton, 3, 0, 1, 2);
}

void TForm1::buildTimeUnits(QWidget* parent) {
    TijdeenheidRadioGroup = new QGroupBox(QStringLiteral("Tijdeenheid"), parent);
    TijdeenheidRadioGroup->setEnabled(false);
    tijdeenheidButtons = new QButtonGroup(TijdeenheidRadioGroup);
    auto* column = new QVBoxLayout(TijdeenheidRadioGroup);
    for (int i = 0; i < int(kTimeUnits.size()); ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(kTimeUnits[std::size_t(i)].caption),
                                       TijdeenheidRadioGroup);
        tijdeenheidButtons->addButton(radio, i);
        column->addWidget(radio);
    }
    tijdeenheidButtons->button(kInitialTimeUnit)->setChecked(true);
    column->addStretch(1);
}

void TForm1::buildFilters(QWidget* parent) {
    filtersgroupbox = new QGroupBox(QStringLiteral("Filter instellingen"), parent);
    filtersgroupbox->setEnabled(false);
    auto* grid = new QGridLayout(filtersgroupbox);
    auto edit = [this](const char* text, NumberKeyRule rule) {
        auto* e = new QLineEdit(QString::fromUtf8(text), filtersgroupbox);
        e->setFixedWidth(numberEditWidth(e));
        keyFilter->attach(e, rule);
        return e;
    };
    auto units = [this] {
        auto* c = new QComboBox(filtersgroupbox);
        for (const FilterUnit& u : kFilterUnits)
            c->addItem(QString::fromUtf8(u.caption));
        c->setCurrentIndex(0);
        return c;
    };
    overspanningedit = edit("", NumberKeyRule::Overspanning);
    onderspanningedit = edit("12", NumberKeyRule::Limit);
    tijdfilteredit = edit("5", NumberKeyRule::Limit);
    tijdfiltercombobox = units();
    temperatuurbovengrensedit = edit("35", NumberKeyRule::Limit);
    temperatuurondergrensedit = edit("0", NumberKeyRule::Limit);
    temperatuurtijdfilteredit = edit("5", NumberKeyRule::Limit);
    temperatuurtijdcombobox = units();
    Filtersbutton = new QPushButton(QStringLiteral("Filters toepassen"), filtersgroupbox);
    Filtersbutton->setEnabled(false);

    auto label = [this](const char* text, QLineEdit* buddy) {
        auto* l = new QLabel(QString::fromUtf8(text), filtersgroupbox);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label("Overspanning", overspanningedit), 0, 0);
    grid->addWidget(overspanningedit, 0, 1);
    grid->addWidget(label("Onderspanning", onderspanningedit), 1, 0);
    grid->addWidget(onderspanningedit, 1, 1);
    grid->addWidget(label("Tijdfilter spanning", tijdfilteredit), 2, 0);
    grid->addWidget(tijdfilteredit, 2, 1);
    grid->addWidget(tijdfiltercombobox, 2, 2);
    grid->setColumnMinimumWidth(3, fontMetrics().averageCharWidth() * 2);
    grid->addWidget(label("Temperatuur bovengrens", temperatuurbovengrensedit), 0, 4);
    grid->addWidget(temperatuurbovengrensedit, 0, 5);
    grid->addWidget(label("Temperatuur ondergrens", temperatuurondergrensedit), 1, 4);
    grid->addWidget(temperatuurondergrensedit, 1, 5);
    grid->addWidget(label("Tijdfilter temperatuur", temperatuurtijdfilteredit), 2, 4);
    grid->addWidget(temperatuurtijdfilteredit, 2, 5);
    grid->addWidget(temperatuurtijdcombobox, 2, 6);
    grid->addWidget(Filtersbutton, 3, 4, 1, 3, Qt::AlignRight);
}

void TForm1::buildChartArea(QWidget* parent) {
    chartArea = new QWidget(parent);
    chartLayout_ = new QGridLayout(chartArea);
    chartLayout_->setContentsMargins(0, 0, 0, 0);
    auto* placeholder = new QFrame(chartArea);
    placeholder->setFrameShape(QFrame::StyledPanel);
    placeholder->setFrameShadow(QFrame::Sunken);
    placeholder->setMinimumSize(fontMetrics().averageCharWidth() * 50, fontMetrics().height() * 20);
    chartPlaceholder = placeholder;
    chartLayout_->addWidget(chartPlaceholder, 0, 0, 3, 3);

    // The bars float over the middle of the chart; clicks go through to the chart.
    auto* bars = new QWidget(chartArea);
    bars->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* column = new QVBoxLayout(bars);
    column->setContentsMargins(0, 0, 0, 0);
    ProgressBar2 = progressBar(bars);
    EraseProgressBar = progressBar(bars);
    ProgressBar1 = progressBar(bars);
    for (QProgressBar* bar : {ProgressBar2, EraseProgressBar, ProgressBar1}) {
        bar->setMinimumHeight(fontMetrics().height() * 2);
        column->addWidget(bar);
    }
    chartLayout_->addWidget(bars, 1, 1);
    chartLayout_->setColumnStretch(0, 28);
    chartLayout_->setColumnStretch(1, 58);
    chartLayout_->setColumnStretch(2, 14);
    chartLayout_->setRowStretch(0, 1);
    chartLayout_->setRowStretch(2, 1);
    bars->raise();
}

QWidget* TForm1::buildRightColumn(QWidget* parent) {
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
    DateTimePicker1 = picker(QDateTime(QDate(2016, 7, 18), QTime(16, 30, 30)));
    DateTimePicker = picker(QDateTime(QDate(2016, 7, 18), QTime(8, 50, 25)));
    auto* dates = new QGridLayout;
    dates->addWidget(new QLabel(QStringLiteral("Datum aansluiting"), right), 0, 0);
    dates->addWidget(new QLabel(QStringLiteral("Datum loskoppeling"), right), 0, 1);
    dates->addWidget(DateTimePicker1, 1, 0);
    dates->addWidget(DateTimePicker, 1, 1);
    column->addLayout(dates);

    memolabel = new QLabel(QStringLiteral("Calamiteiten overzicht"), right);
    memo1 = new QTextEdit(right);
    setUpReportBox(memo1);
    // Room for a label, its tab and a value on one line.
    memo1->setMinimumWidth(
        int(reportTabStop(memo1) + QFontMetricsF(memo1->font()).averageCharWidth() * 22));
    memolabel->setBuddy(memo1);
    column->addWidget(memolabel);
    column->addWidget(memo1, 1);

    PrintenGroupBox = new QGroupBox(QStringLiteral("Printen"), right);
    auto* printRow = new QHBoxLayout(PrintenGroupBox);
    PDF = new QPushButton(QStringLiteral("Calamiteiten overzicht"), PrintenGroupBox);
    Grafiekopslaan = new QPushButton(QStringLiteral("Grafiek"), PrintenGroupBox);
    printRow->addWidget(PDF);
    printRow->addWidget(Grafiekopslaan);
    column->addWidget(PrintenGroupBox);

    Image3 = new LogoView(QPixmap(QStringLiteral(":/veltrano/veltrano-logo.png")), right);
    Image3->setToolTip(QStringLiteral("Over Veltrano"));
    column->addWidget(Image3);
    return right;
}

void TForm1::setChartWidget(QWidget* chart) {
    chart->setParent(chartArea);
    chartLayout_->replaceWidget(chartPlaceholder, chart);
    delete chartPlaceholder;
    chartPlaceholder = chart;
    ProgressBar1->parentWidget()->raise();
}

void TForm1::setNavigationGroup(QGroupBox* group) {
    QWidget* parent = navigatiegroupbox->parentWidget();
    group->setParent(parent);
    parent->layout()->replaceWidget(navigatiegroupbox, group, Qt::FindChildrenRecursively);
    delete navigatiegroupbox;
    navigatiegroupbox = group;
    // The group's number edits get their key checks here, where the checks live.
    for (const char* name : {"Edit1", "Edit2"})
        if (auto* edit = group->findChild<QLineEdit*>(QString::fromLatin1(name)))
            keyFilter->attach(edit, NumberKeyRule::Range);
    if (auto* edit = group->findChild<QLineEdit*>(QStringLiteral("calamiteitedit")))
        keyFilter->attachDigitsOnly(edit);
}

int TForm1::tijdeenheidIndex() const {
    return tijdeenheidButtons->checkedId();
}

ProcessingSettings TForm1::readSettings() const {
    ProcessingSettings s;
    s.locale = QLocale();
    s.overspanning = overspanningedit->text();
    s.onderspanning = onderspanningedit->text();
    s.temperatuurbovengrens = temperatuurbovengrensedit->text();
    s.temperatuurondergrens = temperatuurondergrensedit->text();
    s.tijdfilter = tijdfilteredit->text();
    s.temperatuurtijdfilter = temperatuurtijdfilteredit->text();
    s.tijdfilterUnit = tijdfiltercombobox->currentIndex();
    s.temperatuurtijdfilterUnit = temperatuurtijdcombobox->currentIndex();
    s.timeUnit = tijdeenheidIndex();
    s.periodStart = DateTimePicker1->dateTime();
    s.periodEnd = DateTimePicker->dateTime();
    return s;
}

bool TForm1::isConnected() const {
    return Connect->isHidden();
}

void TForm1::dataopenenClick() {
    const QString path = seams_->openFileName(this);
    if (!path.isEmpty())
        openImage(path);
}

bool TForm1::openImage(const QString& path) {
    if (running_) {
        deferredOpen_ = path;
        return true;
    }
    if (auto error = spanningArray.load(path)) {
        seams_->information(this, *error);
        return false;
    }
    StatusLabel->setText(QStringLiteral("Data klaar voor verwerken"));
    buttonmemo->setEnabled(true);
    return true;
}

void TForm1::ButtontextClick() {
    const QString path = seams_->saveFileName(this);
    if (path.isEmpty())
        return;
    if (auto error = spanningArray.save(path))
        seams_->information(this, *error);
}

void TForm1::buttonmemoClick() {
    if (running_)
        return;
    const ProcessingSettings settings = readSettings();
    Limits limits;
    if (auto error = readLimits(settings, limits)) {
        seams_->information(this, error->message);
        focusField(error->field);
        return;
    }

    running_ = true;
    startRun();
    QString failure;
    try {
        const auto pump = [this](std::size_t) {
            QCoreApplication::processEvents();
            ProgressBar1->setValue(std::min(100, ProgressBar1->value() + 1));
        };
        if (auto error = processImage(spanningArray.data(), settings, decoderState, result, pump))
            failure = error->message;
    } catch (const std::exception& e) {
        failure = QStringLiteral("Verwerken is mislukt: %1").arg(QString::fromLocal8Bit(e.what()));
    }
    running_ = false;
    if (!failure.isEmpty()) {
        result.report.reset();
        result.completed = false;
    }
    finishRun(failure);
}

void TForm1::startRun() {
    // The chart keeps showing the last fill's arrays until the next fill; a fill still
    // pending belongs to the result this run replaces.
    if (chartShowsResult_) {
        chartSamples_ = std::move(result.samples);
        chartShowsResult_ = false;
    }
    grafiekmaaktijd = false;
    Chart1->startProcessing(tijdeenheidIndex());
    navigation->setUnit(tijdeenheidIndex());
    navigation->disableEventButtons();
    emit processingStarted(tijdeenheidIndex());
    ProgressBar1->setValue(100);
    Buttonreceivedata->setEnabled(false);
    TijdeenheidRadioGroup->setEnabled(false);
    Meetintervaltabelbutton->setEnabled(false);
    buttonmemo->setEnabled(false);
    filtersgroupbox->setEnabled(false);
    Filtersbutton->setEnabled(false);
    klaarverwerken = false;
    ProgressBar1->setValue(0);
    ProgressBar1->show();
}

void TForm1::enableAfterRun() {
    buttonmemo->setEnabled(true);
    filtersgroupbox->setEnabled(true);
    TijdeenheidRadioGroup->setEnabled(true);
    Filtersbutton->setEnabled(true);
    Buttonreceivedata->setEnabled(isConnected());
    Meetintervaltabelbutton->setEnabled(true);
    klaarverwerken = true;
}

void TForm1::finishRun(const QString& failure) {
    showReport(memo1, result.report);
    enableAfterRun();
    QString problem = failure;
    if (problem.isEmpty() && result.completed) {
        Chart1->finishRecording(result.stats.minspanning, result.stats.maxspanning,
                                result.stats.mintemperatuur, result.stats.maxtemperatuur,
                                result.bottomaxismax);
        grafiekmaaktijd = true;
        StatusLabel->setText(QStringLiteral("Data verwerkt"));
        bottomaxismax = Chart1->fullView.bottomaxismax;
        bottomaxismin = Chart1->fullView.bottomaxismin;
    } else if (problem.isEmpty() && !hasRecordingStart(spanningArray.data())) {
        problem = QStringLiteral(
            "Het geheugenbeeld bevat geen opname: er is geen begin van een meting gevonden "
            "(bijvoorbeeld een gewiste QLO of een leeg geheugenbeeld). Er is niets verwerkt.");
    } else if (problem.isEmpty()) {
        problem = QStringLiteral("De opname in het geheugenbeeld is niet afgesloten: er is "
                                 "geen einde van een meting gevonden. Er is geen "
                                 "samenvatting gemaakt.");
    }
    Chart1->endProcessing();
    emit processingFinished(result.completed);
    if (closing_)
        return;
    for (const QString& message : std::as_const(result.messages))
        seams_->information(this, message);
    if (!problem.isEmpty())
        seams_->information(this, problem);
    if (!deferredOpen_.isEmpty())
        openImage(std::exchange(deferredOpen_, QString()));
}

void TForm1::focusField(const QString& caption) {
    const std::pair<const char*, QLineEdit*> fields[] = {
        {"Overspanning", overspanningedit},
        {"Onderspanning", onderspanningedit},
        {"Temperatuur bovengrens", temperatuurbovengrensedit},
        {"Temperatuur ondergrens", temperatuurondergrensedit},
        {"Tijdfilter spanning", tijdfilteredit},
        {"Tijdfilter temperatuur", temperatuurtijdfilteredit},
    };
    for (const auto& [name, edit] : fields) {
        if (caption == QLatin1String(name) && edit->isEnabled()) {
            edit->setFocus();
            edit->selectAll();
        }
    }
}

void TForm1::MeetintervaltabelbuttonClick() {
    if (!configurationWindow_)
        return;
    configurationWindow_->show();
    configurationWindow_->raise();
    configurationWindow_->activateWindow();
}

void TForm1::showNotice() {
    if (!noticeWindow_)
        return;
    noticeWindow_->show();
    noticeWindow_->raise();
}

QString TForm1::aboutPagePath() const {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + kAboutPageName;
}

void TForm1::Image3Click() {
    QString path = aboutPagePath();
    if (!QFileInfo::exists(path)) {
        // Not installed beside the program: use the copy built into it.
        if (!aboutDir_)
            aboutDir_ = std::make_unique<QTemporaryDir>();
        path = aboutDir_->filePath(kAboutPageName);
        if (!QFileInfo::exists(path) &&
            !QFile::copy(QStringLiteral(":/veltrano/") + kAboutPageName, path)) {
            seams_->information(this, QStringLiteral("De informatiepagina kan niet worden "
                                                     "geopend."));
            return;
        }
    }
    seams_->openUrl(QUrl::fromLocalFile(path));
}

void TForm1::showConnected() {
    Connect->hide();
    disconnect->show();
    Buttonreceivedata->setEnabled(klaarverwerken);
    StatusLabel->setText(QStringLiteral("QLO verbonden"));
}

void TForm1::showDisconnected() {
    ProgressBar2->hide();
    StatusLabel->setText(QStringLiteral("QLO niet verbonden"));
    Buttonreceivedata->setEnabled(false);
    Connect->show();
    disconnect->hide();
}

void TForm1::downloadStarting() {
    result.samples.spanningbeginpuntarray.fill(0);
    result.samples.beginPoints = 0;
    TijdeenheidRadioGroup->setEnabled(false);
    Buttonreceivedata->setEnabled(false);
    buttonmemo->setEnabled(false);
    filtersgroupbox->setEnabled(false);
    Filtersbutton->setEnabled(false);
    databinnenhalenklaar = false;
    ProgressBar2->setValue(0);
    ProgressBar2->show();
}

void TForm1::downloadProgressStep() {
    ProgressBar2->setValue(std::min(100, ProgressBar2->value() + 1));
}

void TForm1::downloadComplete() {
    Buttonreceivedata->setEnabled(isConnected());
    databinnenhalenklaar = true;
    StatusLabel->setText(QStringLiteral("Data klaar voor verwerken"));
    buttonmemo->setEnabled(true);
    filtersgroupbox->setEnabled(true);
    TijdeenheidRadioGroup->setEnabled(true);
    Filtersbutton->setEnabled(true);
}

void TForm1::eraseStarted() {
    Timer1->start();
    EraseProgressBar->setEnabled(true);
    EraseProgressBar->setValue(0);
    EraseProgressBar->show();
}

void TForm1::eraseFinished() {
    EraseProgressBar->hide();
    EraseProgressBar->setEnabled(false);
}

void TForm1::beep() {
    QApplication::beep();
}

void TForm1::information(const QString& text) {
    seams_->information(this, text);
}

bool TForm1::confirm(const QString& text) {
    return seams_->question(this, text);
}

void TForm1::setDeviceFinder(std::unique_ptr<DeviceFinder> finder) {
    link_.reset();
    deviceFinder_ = std::move(finder);
    link_ = std::make_unique<LinkController>(spanningArray, *deviceFinder_, *this);
}

void TForm1::ConnectClick() {
    link_->connectLogger();
}

void TForm1::disconnectClick() {
    link_->disconnectLogger();
}

void TForm1::ButtonreceivedataClick() {
    // A download clears the image; a run must never see that.
    if (isProcessing())
        return;
    link_->startDownload();
}

void TForm1::ButtoneraseClick() {
    link_->erase();
}

void TForm1::MeetintervallenInstellen(int voltageIndex, int temperatureIndex) {
    if (link_->setIntervals(voltageIndex, temperatureIndex) && configurationWindow_)
        configurationWindow_->close();
}

void TForm1::Timer1Timer() {
    EraseProgressBar->setValue(LinkController::nextErasePosition(EraseProgressBar->value()));
}

namespace {
void progressCycle(QProgressBar* bar, bool finished) {
    if (!finished)
        bar->show();
    else if (bar->value() >= 100)
        bar->hide();
    else
        bar->setValue(bar->value() + 1);
}
} // namespace

void TForm1::DoStuff() {
    progressCycle(ProgressBar2, databinnenhalenklaar);
    progressCycle(ProgressBar1, klaarverwerken);
}

void TForm1::Grafiektekenen() {
    if (!grafiekmaaktijd || running_)
        return;
    ChartFill data;
    // The limit lines come from the edits; a text that is no number leaves the fill due.
    const QLocale locale;
    const QLineEdit* edits[] = {overspanningedit, onderspanningedit, temperatuurbovengrensedit,
                                temperatuurondergrensedit};
    double* targets[] = {&data.overspanning, &data.onderspanning, &data.temperatuurbovengrens,
                         &data.temperatuurondergrens};
    for (int i = 0; i < 4; ++i) {
        const auto value = parseLocaleNumber(edits[i]->text(), locale);
        if (!value)
            return;
        *targets[i] = double(*value);
    }
    navigatiegroupbox->setEnabled(true);
    const Samples& s = result.samples;
    data.spanningtijdenarray = s.spanningtijdenarray.get();
    data.spanningpuntenarray = s.spanningpuntenarray.get();
    data.C = s.C;
    data.temperatuurtijdenarray = s.temperatuurtijdenarray.get();
    data.temperatuurpuntenarray = s.temperatuurpuntenarray.get();
    data.D = s.D;
    data.spanningbeginpuntarray = s.spanningbeginpuntarray;
    Chart1->fill(data);
    chartShowsResult_ = true;
    chartSamples_ = Samples{};
    const FullView& full = Chart1->fullView;
    leftaxismin = full.leftaxismin;
    leftaxismax = full.leftaxismax;
    rightaxismin = full.rightaxismin;
    rightaxismax = full.rightaxismax;
    grafiekmaaktijd = false;
    emit chartFillDue();
}

void TForm1::updateCycle() {
    DoStuff();
    Grafiektekenen();
}

void TForm1::closeEvent(QCloseEvent* event) {
    closing_ = true;
    stopUpdater();
    QMainWindow::closeEvent(event);
    emit closed();
}

} // namespace veltrano
