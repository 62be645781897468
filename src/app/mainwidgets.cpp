#include "mainwidgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include "analysis/processing.h"
#include "chart/chartview.h"
#include "chart/navigation.h"
#include "chart/navigationcaptions.h"
#include "keychecks.h"
#include "logoview.h"
#include "namedlist.h"
#include "reportview.h"
#include "unitcaptions.h"
#include "windowstate.h"

namespace veltrano {

namespace {

const QColor kWindowGrey(160, 160, 164);
// Horizontal room QLineEdit keeps between its frame and its text, on each side.
constexpr int kLineEditMargin = 2;

QProgressBar* progressBar(QWidget* parent, const QString& name) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    bar->setAccessibleName(name);
    return bar;
}

// The arrow keys move the focus among the time units without choosing one: choosing a unit
// processes the recording again, which Space or a click does. Qt's own arrow handling would
// choose each unit it passes. Tab into the group lands on the chosen unit.
class UnitKeys : public QObject {
public:
    UnitKeys(QButtonGroup* units, QObject* parent) : QObject(parent), units_(units) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            QAbstractButton* chosen = units_->checkedButton();
            if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && chosen &&
                chosen != watched && chosen->isEnabled() && chosen->isVisible()) {
                // The unit passed over must not become the group's stop for Tab.
                chosen->setFocus(reason);
                return true;
            }
            return false;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        int step = 0;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            step = -1;
            break;
        case Qt::Key_Down:
        case Qt::Key_Right:
            step = 1;
            break;
        default:
            return false;
        }
        const QList<QAbstractButton*> buttons = units_->buttons();
        for (qsizetype i = buttons.indexOf(watched) + step; i >= 0 && i < buttons.size();
             i += step) {
            if (buttons[i]->isEnabled() && buttons[i]->isVisible()) {
                buttons[i]->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
        return true;
    }

private:
    QButtonGroup* units_;
};

// Width for an edit that holds a limit or a time filter: a sign, three digits and two
// decimals, with the edit's frame and margins.
int numberEditWidth(const QLineEdit* edit) {
    const QString sample =
        QStringLiteral("-000") + edit->locale().decimalPoint() + QStringLiteral("00");
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QSize text(edit->fontMetrics().horizontalAdvance(sample) + 2 * kLineEditMargin,
                     edit->fontMetrics().height());
    return edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, edit).width();
}

// Keeps a button as wide as the longest of its captions, so that the group around it does
// not jump when a run gives it another one.
void reserveCaptionWidth(QPushButton* button, const QStringList& captions) {
    const QString shown = button->text();
    int width = 0;
    for (const QString& caption : captions) {
        button->setText(caption);
        width = std::max(width, button->sizeHint().width());
    }
    button->setText(shown);
    button->setMinimumWidth(width);
}

// The paging buttons of "Grafiek navigatie" with all the captions a time unit gives them.
void reserveNavigationCaptions(NavigationBox* box) {
    QStringList first, previous, next;
    for (const PagingCaptions& c : kUnitPagingCaptions) {
        first << QString::fromUtf8(c.first);
        previous << QString::fromUtf8(c.previous);
        next << QString::fromUtf8(c.next);
    }
    first << QString::fromUtf8(kDesignPagingCaptions.first);
    previous << QString::fromUtf8(kDesignPagingCaptions.previous);
    next << QString::fromUtf8(kDesignPagingCaptions.next);
    reserveCaptionWidth(box->beginbijbegin, first);
    reserveCaptionWidth(box->vorigebutton, previous);
    reserveCaptionWidth(box->volgendebutton, next);
}

} // namespace

void MainWidgets::build(QMainWindow* window, NumberKeyFilter* keys,
                        std::function<void(const QString&)> message) {
    window_ = window;
    window->setWindowTitle(QStringLiteral("Veltrano"));
    QPalette grey = window->palette();
    grey.setColor(QPalette::Window, kWindowGrey);
    window->setPalette(grey);

    auto* scroll = new QScrollArea(window);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // Not a stop of its own for Tab; it scrolls to whatever control takes the focus.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget(scroll);
    content->setAutoFillBackground(true);

    buildMenu(content);
    buildChartArea(content);
    navigatiegroupbox = new NavigationBox(Chart1, std::move(message), content);
    reserveNavigationCaptions(navigatiegroupbox);
    for (QLineEdit* edit : {navigatiegroupbox->Edit1, navigatiegroupbox->Edit2})
        keys->attach(edit, NumberKeyRule::Range);
    keys->attachDigitsOnly(navigatiegroupbox->calamiteitedit);
    buildTimeUnits(content);
    buildFilters(content, keys);
    StatusLabel = new QLabel(content);
    QWidget* right = buildRightColumn(content);

    auto* navigationColumn = new QVBoxLayout;
    navigationColumn->addWidget(navigatiegroupbox);
    navigationColumn->addWidget(StatusLabel);
    navigationColumn->addStretch(1);

    // The groups keep their own widths and span the row as in the design; on a wide screen
    // the room left over goes into the gaps between them.
    auto* top = new QHBoxLayout;
    top->addWidget(MenuGroupBox, 0, Qt::AlignTop);
    top->addStretch(1);
    top->addLayout(navigationColumn);
    top->addStretch(1);
    top->addWidget(TijdeenheidRadioGroup, 0, Qt::AlignTop);
    top->addStretch(1);
    top->addWidget(filtersgroupbox, 0, Qt::AlignTop);

    // The chart and the report column share the width; on a laptop screen the report's
    // share leaves room for a label, its tab and a short value on one line.
    auto* grid = new QGridLayout(content);
    grid->addLayout(top, 0, 0, 1, 2);
    grid->addWidget(chartArea, 1, 0);
    grid->addWidget(right, 1, 1);
    grid->setColumnStretch(0, 7);
    grid->setColumnStretch(1, 3);
    grid->setRowStretch(1, 1);

    scroll->setWidget(content);
    window->setCentralWidget(scroll);
    nameControls();
    describeControls();
    orderTabs();

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

// Names for what no caption names, and descriptions for what shares its caption with another
// control; the labels name their buddies.
void MainWidgets::describeControls() {
    tijdfiltercombobox->setAccessibleName(QStringLiteral("Tijdfilter spanning eenheid"));
    temperatuurtijdcombobox->setAccessibleName(QStringLiteral("Tijdfilter temperatuur eenheid"));
    QWidget* plot = Chart1->plot();
    plot->setAccessibleName(QStringLiteral("Grafiek spanning en temperatuur"));
    plot->setAccessibleDescription(
        QStringLiteral("Spanning en temperatuur tegen de tijd, met de vier grenzen. Pijl links en "
                       "rechts: vorige en volgende tijdeenheid; Home: eerste tijdeenheid; "
                       "Escape: de hele opname."));
    for (int s = 0; s < ChartView::SeriesCount; ++s) {
        QCheckBox* box = Chart1->legendCheckBox(ChartView::Series(s));
        box->setAccessibleDescription(
            QStringLiteral("Lijn %1 in de grafiek tonen").arg(box->text()));
    }
    memo1->setAccessibleDescription(
        QStringLiteral("De calamiteiten van de verwerkte opname en de samenvatting ervan"));
    PDF->setAccessibleDescription(QStringLiteral("Calamiteiten overzicht printen"));
    Grafiekopslaan->setAccessibleDescription(
        QStringLiteral("Grafiek printen, na een afdrukvoorbeeld"));
    Image3->setAccessibleName(Image3->toolTip());
    Image3->setAccessibleDescription(QStringLiteral("Opent de pagina over Veltrano"));
}

// Tab follows the reading order: the groups of the top row from left to right, each from
// its first row to its last, then the chart, then the column beside it.
void MainWidgets::orderTabs() {
    QList<QWidget*> chain{Connect,    disconnect,  Buttonreceivedata, buttonmemo,
                          dataopenen, Buttonerase, Buttontext,        Meetintervaltabelbutton};
    chain += navigatiegroupbox->readingOrder();
    for (QAbstractButton* unit : tijdeenheidButtons->buttons())
        chain << unit;
    chain << overspanningedit << onderspanningedit << tijdfilteredit << tijdfiltercombobox
          << temperatuurbovengrensedit << temperatuurondergrensedit << temperatuurtijdfilteredit
          << temperatuurtijdcombobox << Filtersbutton;
    chain << Chart1->MarkerCheckBox << Chart1->plot();
    for (int s = 0; s < ChartView::SeriesCount; ++s)
        chain << Chart1->legendCheckBox(ChartView::Series(s));
    chain << DateTimePicker1 << DateTimePicker << memo1 << PDF << Grafiekopslaan << Image3;
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void MainWidgets::apply(const ControlStates& c) {
    QWidget* const focus = window_->focusWidget();
    Connect->setVisible(c.connectShown);
    disconnect->setVisible(!c.connectShown);
    // "Verbreken" takes the place of "Verbinden", and the focus with it, and back.
    if (focus == Connect && !c.connectShown)
        disconnect->setFocus(Qt::OtherFocusReason);
    else if (focus == disconnect && c.connectShown)
        Connect->setFocus(Qt::OtherFocusReason);
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
    keepFocus(focus);
}

// Qt moves the focus on from a control that is disabled, or drops it when the control's
// group is disabled. A control the window disables while it works gets the focus back once
// it is usable again, so that a keyboard user goes on where they were; unless they have put
// the focus elsewhere meanwhile.
void MainWidgets::keepFocus(QWidget* before) {
    QWidget* const now = window_->focusWidget();
    if (before && before != now && !before->isEnabled()) {
        focusLost_ = before;
        focusParked_ = now;
        return;
    }
    if (!focusLost_)
        return;
    if (now != focusParked_) {
        focusLost_.clear();
    } else if (focusLost_->isEnabled() && focusLost_->isVisible()) {
        focusLost_->setFocus(Qt::OtherFocusReason);
        focusLost_.clear();
    }
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
    auto* keys = new UnitKeys(tijdeenheidButtons, TijdeenheidRadioGroup);
    auto* column = new QVBoxLayout(TijdeenheidRadioGroup);
    for (int i = 0; i < int(kTimeUnitCaptions.size()); ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(kTimeUnitCaptions[std::size_t(i)]),
                                       TijdeenheidRadioGroup);
        radio->installEventFilter(keys);
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
        auto* c = new NamedList(filtersgroupbox);
        for (const char* caption : kFilterUnitCaptions)
            c->addItem(QString::fromUtf8(caption));
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

    // Each caption stands above its edit, which keeps the group narrow enough for the top
    // row of a laptop screen; the two columns stand close together.
    const int gap = filtersgroupbox->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    auto field = [this, grid](const char* caption, QLineEdit* edit, QComboBox* unit, int row,
                              int column) {
        auto* label = new QLabel(QString::fromUtf8(caption), filtersgroupbox);
        label->setBuddy(edit);
        auto* line = new QHBoxLayout;
        line->addWidget(edit);
        if (unit)
            line->addWidget(unit);
        line->addStretch(1);
        auto* cell = new QVBoxLayout;
        cell->setSpacing(1);
        cell->addWidget(label);
        cell->addLayout(line);
        grid->addLayout(cell, row, column);
    };
    field("Overspanning", overspanningedit, nullptr, 0, 0);
    field("Onderspanning", onderspanningedit, nullptr, 1, 0);
    field("Tijdfilter spanning", tijdfilteredit, tijdfiltercombobox, 2, 0);
    field("Temperatuur bovengrens", temperatuurbovengrensedit, nullptr, 0, 1);
    field("Temperatuur ondergrens", temperatuurondergrensedit, nullptr, 1, 1);
    field("Tijdfilter temperatuur", temperatuurtijdfilteredit, temperatuurtijdcombobox, 2, 1);
    grid->addWidget(Filtersbutton, 3, 0, 1, 2, Qt::AlignRight);
    grid->setHorizontalSpacing(2 * gap);
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
    ProgressBar2 = progressBar(bars, QStringLiteral("Voortgang ophalen"));
    EraseProgressBar = progressBar(bars, QStringLiteral("Voortgang wissen"));
    ProgressBar1 = progressBar(bars, QStringLiteral("Voortgang verwerken"));
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
    auto* startLabel = new QLabel(QStringLiteral("Datum aansluiting"), right);
    auto* endLabel = new QLabel(QStringLiteral("Datum loskoppeling"), right);
    startLabel->setBuddy(DateTimePicker1);
    endLabel->setBuddy(DateTimePicker);
    dates->addWidget(startLabel, 0, 0);
    dates->addWidget(endLabel, 0, 1);
    dates->addWidget(DateTimePicker1, 1, 0);
    dates->addWidget(DateTimePicker, 1, 1);
    dates->setColumnStretch(2, 1);
    column->addLayout(dates);

    // The report box takes the room the column gets; long lines wrap at its edge.
    memolabel = new QLabel(QStringLiteral("Calamiteiten overzicht"), right);
    memo1 = new QPlainTextEdit(right);
    setUpReportBox(memo1);
    // A caret for the keyboard, so that the report can be read and copied line by line.
    memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    memolabel->setBuddy(memo1);
    column->addWidget(memolabel);
    column->addWidget(memo1, 1);

    PrintenGroupBox = new QGroupBox(QStringLiteral("Printen"), right);
    auto* printRow = new QHBoxLayout(PrintenGroupBox);
    PDF = new QPushButton(QStringLiteral("Calamiteiten overzicht"), PrintenGroupBox);
    Grafiekopslaan = new QPushButton(QStringLiteral("Grafiek"), PrintenGroupBox);
    printRow->addWidget(PDF);
    printRow->addWidget(Grafiekopslaan);
    column->addWidget(PrintenGroupBox, 0, Qt::AlignLeft);

    Image3 = new LogoView(QPixmap(QStringLiteral(":/veltrano/veltrano-logo.png")), right);
    Image3->setToolTip(QStringLiteral("Over Veltrano"));
    column->addWidget(Image3);
    return right;
}

} // namespace veltrano
