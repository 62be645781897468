// MainWidgets: the groups of the top row, "Menu", "Tijdeenheid" and "Filter instellingen".
#include "mainwidgets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

#include "keychecks.h"
#include "namedlist.h"
#include "recording/timeunits.h"

namespace veltrano {

namespace {

// Horizontal room QLineEdit keeps between its frame and its text, on each side.
constexpr int kLineEditMargin = 2;

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

// The buttons of "Menu": caption, object name, place in the group's grid (Verbreken takes the
// place of Verbinden), and what a click asks for.
struct MenuEntry {
    MainWidgets::MenuButton button;
    const char* caption;
    const char* name;
    int row, column, columns;
    void (MainWidgets::*request)();
};
const MenuEntry kMenu[] = {
    {MainWidgets::Connect, "Verbinden", "connectButton", 0, 0, 1, &MainWidgets::connectRequested},
    {MainWidgets::Disconnect, "Verbreken", "disconnectButton", 0, 0, 1,
     &MainWidgets::disconnectRequested},
    {MainWidgets::Download, "Data ophalen", "downloadButton", 0, 1, 1,
     &MainWidgets::downloadRequested},
    {MainWidgets::Process, "Data verwerken", "processButton", 1, 0, 1,
     &MainWidgets::processRequested},
    {MainWidgets::OpenImage, "Data openen", "openImageButton", 1, 1, 1,
     &MainWidgets::openImageRequested},
    {MainWidgets::Erase, "Geheugen wissen", "eraseButton", 2, 0, 1, &MainWidgets::eraseRequested},
    {MainWidgets::SaveImage, "Data opslaan", "saveImageButton", 2, 1, 1,
     &MainWidgets::saveImageRequested},
    {MainWidgets::Configuration, "Configuratiescherm", "configurationButton", 3, 0, 2,
     &MainWidgets::configurationRequested},
};

} // namespace

void MainWidgets::buildMenu(QWidget* parent) {
    menuGroup_ = new QGroupBox(QStringLiteral("Menu"), parent);
    auto* grid = new QGridLayout(menuGroup_);
    for (const MenuEntry& entry : kMenu) {
        auto* b = new QPushButton(QString::fromUtf8(entry.caption), menuGroup_);
        b->setObjectName(QString::fromLatin1(entry.name));
        grid->addWidget(b, entry.row, entry.column, 1, entry.columns);
        menuButtons_[std::size_t(entry.button)] = b;
        connect(b, &QPushButton::clicked, this, entry.request);
    }
}

void MainWidgets::buildTimeUnits(QWidget* parent) {
    timeUnitGroup_ = new QGroupBox(QStringLiteral("Tijdeenheid"), parent);
    timeUnitButtons_ = new QButtonGroup(timeUnitGroup_);
    auto* keys = new UnitKeys(timeUnitButtons_, timeUnitGroup_);
    auto* column = new QVBoxLayout(timeUnitGroup_);
    for (int i = 0; i < int(kTimeUnits.size()); ++i) {
        // "Seconden" for the unit "seconden".
        QString caption = QString::fromUtf8(kTimeUnits[std::size_t(i)].plural);
        caption[0] = caption[0].toUpper();
        auto* radio = new QRadioButton(caption, timeUnitGroup_);
        radio->installEventFilter(keys);
        timeUnitButtons_->addButton(radio, i);
        column->addWidget(radio);
    }
    timeUnitButtons_->button(ProcessingSettings::defaults().timeUnit)->setChecked(true);
    column->addStretch(1);
}

void MainWidgets::buildFilters(QWidget* parent, NumberKeyFilter* keys) {
    const ProcessingSettings start = ProcessingSettings::defaults();
    filterGroup_ = new QGroupBox(QStringLiteral("Filter instellingen"), parent);
    auto* grid = new QGridLayout(filterGroup_);
    for (const FilterFieldInfo& f : kFilterFields) {
        auto* e = new QLineEdit(start.filterText(f.field), filterGroup_);
        e->setFixedWidth(numberEditWidth(e));
        // Enter in "Overspanning" processes, as in the window design.
        keys->attach(e, f.field == FilterField::OverVoltage ? NumberKeyRule::LimitWithEnter
                                                            : NumberKeyRule::Limit);
        filterEdits_[std::size_t(f.field)] = e;
    }
    auto units = [this](int index) {
        auto* c = new NamedList(filterGroup_);
        for (const NamedUnit& unit : kFilterUnits)
            c->addItem(QString::fromUtf8(unit.plural));
        c->setCurrentIndex(index);
        return c;
    };
    voltageTimeFilterUnitList_ = units(start.voltageTimeFilterUnit);
    temperatureTimeFilterUnitList_ = units(start.temperatureTimeFilterUnit);
    applyFiltersButton_ = new QPushButton(QStringLiteral("Filters toepassen"), filterGroup_);

    // Each caption stands above its edit, which keeps the group narrow enough for the top
    // row of a laptop screen; the two columns stand close together.
    const int gap = filterGroup_->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    auto field = [this, grid](FilterField f, QComboBox* unit, int row, int column) {
        auto* label = new QLabel(QString::fromUtf8(filterField(f).caption), filterGroup_);
        label->setBuddy(edit(f));
        auto* line = new QHBoxLayout;
        line->addWidget(edit(f));
        if (unit)
            line->addWidget(unit);
        line->addStretch(1);
        auto* cell = new QVBoxLayout;
        cell->setSpacing(1);
        cell->addWidget(label);
        cell->addLayout(line);
        grid->addLayout(cell, row, column);
    };
    field(FilterField::OverVoltage, nullptr, 0, 0);
    field(FilterField::UnderVoltage, nullptr, 1, 0);
    field(FilterField::VoltageTimeFilter, voltageTimeFilterUnitList_, 2, 0);
    field(FilterField::OverTemperature, nullptr, 0, 1);
    field(FilterField::UnderTemperature, nullptr, 1, 1);
    field(FilterField::TemperatureTimeFilter, temperatureTimeFilterUnitList_, 2, 1);
    grid->addWidget(applyFiltersButton_, 3, 0, 1, 2, Qt::AlignRight);
    grid->setHorizontalSpacing(2 * gap);
}

} // namespace veltrano
