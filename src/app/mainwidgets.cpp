#include "mainwidgets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTextEdit>
#include <QVBoxLayout>

#include "analysis/processing.h"
#include "chart/chartview.h"
#include "chart/navigation.h"
#include "keychecks.h"
#include "logoview.h"
#include "recording/timeunits.h"
#include "reportview.h"
#include "windowstate.h"

namespace veltrano {

namespace {

const QColor kWindowGrey(160, 160, 164);

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

void MainWidgets::build(QMainWindow* window, NumberKeyFilter* keys,
                        std::function<void(const QString&)> message) {
    window->setWindowTitle(QStringLiteral("Veltrano"));
    QPalette grey = window->palette();
    grey.setColor(QPalette::Window, kWindowGrey);
    window->setPalette(grey);

    auto* scroll = new QScrollArea(window);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget(scroll);
    content->setAutoFillBackground(true);

    buildMenu(content);
    buildChartArea(content);
    navigatiegroupbox = new NavigationBox(Chart1, std::move(message), content);
    navigatiegroupbox->setMinimumWidth(window->fontMetrics().averageCharWidth() * 36);
    for (QLineEdit* edit : {navigatiegroupbox->Edit1, navigatiegroupbox->Edit2})
        keys->attach(edit, NumberKeyRule::Range);
    keys->attachDigitsOnly(navigatiegroupbox->calamiteitedit);
    buildTimeUnits(content);
    buildFilters(content, keys);
    StatusLabel = new QLabel(content);
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
    window->setCentralWidget(scroll);
    nameControls();

    // Start values of the window design.
    overspanningedit->setText(ProcessingSettings::defaults().overspanning);
    ProgressBar2->setValue(100);
    ProgressBar1->setValue(100);
    ProgressBar1->hide();
    EraseProgressBar->hide();
}

void MainWidgets::nameControls() {
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
        {chartArea, "chartArea"},
        {Chart1, "Chart1"},
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
    tijdeenheidButtons->setObjectName(QStringLiteral("tijdeenheidButtons"));
}

void MainWidgets::apply(const ControlStates& c) {
    Connect->setVisible(c.connectShown);
    disconnect->setVisible(!c.connectShown);
    Buttonreceivedata->setEnabled(c.receiveData);
    buttonmemo->setEnabled(c.process);
    TijdeenheidRadioGroup->setEnabled(c.timeUnits);
    filtersgroupbox->setEnabled(c.filters);
    Filtersbutton->setEnabled(c.filters);
    Meetintervaltabelbutton->setEnabled(c.configuration);
    Buttonerase->setEnabled(c.erase);
    navigatiegroupbox->setEnabled(c.navigation);
    if (c.downloadRunning)
        ProgressBar2->show();
    EraseProgressBar->setVisible(c.eraseBar);
    EraseProgressBar->setEnabled(c.eraseBar);
    if (c.processingRunning)
        ProgressBar1->show();
}

QLineEdit* MainWidgets::filterEdit(const QString& caption) const {
    const std::pair<const char*, QLineEdit*> fields[] = {
        {"Overspanning", overspanningedit},
        {"Onderspanning", onderspanningedit},
        {"Temperatuur bovengrens", temperatuurbovengrensedit},
        {"Temperatuur ondergrens", temperatuurondergrensedit},
        {"Tijdfilter spanning", tijdfilteredit},
        {"Tijdfilter temperatuur", temperatuurtijdfilteredit},
    };
    for (const auto& [name, edit] : fields)
        if (caption == QLatin1String(name))
            return edit;
    return nullptr;
}

void MainWidgets::buildMenu(QWidget* parent) {
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

void MainWidgets::buildTimeUnits(QWidget* parent) {
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
    tijdeenheidButtons->button(ProcessingSettings::defaults().timeUnit)->setChecked(true);
    column->addStretch(1);
}

void MainWidgets::buildFilters(QWidget* parent, NumberKeyFilter* keys) {
    const ProcessingSettings start = ProcessingSettings::defaults();
    filtersgroupbox = new QGroupBox(QStringLiteral("Filter instellingen"), parent);
    filtersgroupbox->setEnabled(false);
    auto* grid = new QGridLayout(filtersgroupbox);
    auto edit = [this, keys](const QString& text, NumberKeyRule rule) {
        auto* e = new QLineEdit(text, filtersgroupbox);
        e->setFixedWidth(numberEditWidth(e));
        keys->attach(e, rule);
        return e;
    };
    auto units = [this](int index) {
        auto* c = new QComboBox(filtersgroupbox);
        for (const FilterUnit& u : kFilterUnits)
            c->addItem(QString::fromUtf8(u.caption));
        c->setCurrentIndex(index);
        return c;
    };
    overspanningedit = edit(start.overspanning, NumberKeyRule::Overspanning);
    onderspanningedit = edit(start.onderspanning, NumberKeyRule::Limit);
    tijdfilteredit = edit(start.tijdfilter, NumberKeyRule::Limit);
    tijdfiltercombobox = units(start.tijdfilterUnit);
    temperatuurbovengrensedit = edit(start.temperatuurbovengrens, NumberKeyRule::Limit);
    temperatuurondergrensedit = edit(start.temperatuurondergrens, NumberKeyRule::Limit);
    temperatuurtijdfilteredit = edit(start.temperatuurtijdfilter, NumberKeyRule::Limit);
    temperatuurtijdcombobox = units(start.temperatuurtijdfilterUnit);
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
    grid->setColumnMinimumWidth(3, filtersgroupbox->fontMetrics().averageCharWidth() * 2);
    grid->addWidget(label("Temperatuur bovengrens", temperatuurbovengrensedit), 0, 4);
    grid->addWidget(temperatuurbovengrensedit, 0, 5);
    grid->addWidget(label("Temperatuur ondergrens", temperatuurondergrensedit), 1, 4);
    grid->addWidget(temperatuurondergrensedit, 1, 5);
    grid->addWidget(label("Tijdfilter temperatuur", temperatuurtijdfilteredit), 2, 4);
    grid->addWidget(temperatuurtijdfilteredit, 2, 5);
    grid->addWidget(temperatuurtijdcombobox, 2, 6);
    grid->addWidget(Filtersbutton, 3, 4, 1, 3, Qt::AlignRight);
}

void MainWidgets::buildChartArea(QWidget* parent) {
    chartArea = new QWidget(parent);
    auto* layout = new QGridLayout(chartArea);
    layout->setContentsMargins(0, 0, 0, 0);
    Chart1 = new ChartView(chartArea);
    layout->addWidget(Chart1, 0, 0, 3, 3);

    // The bars float over the middle of the chart; clicks go through to the chart.
    auto* bars = new QWidget(chartArea);
    bars->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* column = new QVBoxLayout(bars);
    column->setContentsMargins(0, 0, 0, 0);
    ProgressBar2 = progressBar(bars);
    EraseProgressBar = progressBar(bars);
    ProgressBar1 = progressBar(bars);
    for (QProgressBar* bar : {ProgressBar2, EraseProgressBar, ProgressBar1}) {
        bar->setMinimumHeight(chartArea->fontMetrics().height() * 2);
        column->addWidget(bar);
    }
    layout->addWidget(bars, 1, 1);
    layout->setColumnStretch(0, 28);
    layout->setColumnStretch(1, 58);
    layout->setColumnStretch(2, 14);
    layout->setRowStretch(0, 1);
    layout->setRowStretch(2, 1);
    bars->raise();
}

QWidget* MainWidgets::buildRightColumn(QWidget* parent) {
    const ProcessingSettings start = ProcessingSettings::defaults();
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
    DateTimePicker1 = picker(start.periodStart);
    DateTimePicker = picker(start.periodEnd);
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

} // namespace veltrano
