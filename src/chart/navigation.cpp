#include "chart/navigation.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "chart/chartview.h"
#include "chart/navigationcaptions.h"

namespace veltrano {

NavigationButtons navigationButtons(const NavigationState& state,
                                    const std::function<bool(long long)>& isEvent) {
    NavigationButtons b;
    b.previousPage = state.pageBack;
    b.nextPage = state.pageOn;
    if (state.event) {
        b.previousEvent = isEvent(*state.event - 1);
        b.nextEvent = isEvent(*state.event + 1);
    }
    return b;
}

namespace {

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromUtf8(name));
    return b;
}

QLineEdit* edit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromUtf8(name));
    return e;
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

} // namespace

NavigationBox::NavigationBox(ChartView* chart, MessageFn message, QWidget* parent)
    : QGroupBox(QStringLiteral("Grafiek navigatie"), parent), chart_(chart),
      message_(std::move(message)) {
    setObjectName(QStringLiteral("navigationGroup"));
    firstPageButton_ = button(this, "firstPageButton", kDesignPagingCaptions.first);
    previousPageButton_ = button(this, "previousPageButton", kDesignPagingCaptions.previous);
    nextPageButton_ = button(this, "nextPageButton", kDesignPagingCaptions.next);
    fullViewButton_ = button(this, "fullViewButton", "Uitzoomen");
    goToButton_ = button(this, "goToButton", "Ga naar");
    fromLabel_ = new QLabel(QStringLiteral("Vanaf"), this);
    toLabel_ = new QLabel(QStringLiteral("Tot"), this);
    fromEdit_ = edit(this, "fromEdit");
    toEdit_ = edit(this, "toEdit");
    eventNumberEdit_ = edit(this, "eventNumberEdit");
    eventNumberEdit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    goToEventButton_ = button(this, "goToEventButton", "Ga naar Calamiteit");
    previousEventButton_ = button(this, "previousEventButton", "Vorige");
    nextEventButton_ = button(this, "nextEventButton", "Volgende");

    QStringList first, previous, next;
    for (const PagingCaptions& c : kUnitPagingCaptions) {
        first << QString::fromUtf8(c.first);
        previous << QString::fromUtf8(c.previous);
        next << QString::fromUtf8(c.next);
    }
    reserveCaptionWidth(firstPageButton_, first << firstPageButton_->text());
    reserveCaptionWidth(previousPageButton_, previous << previousPageButton_->text());
    reserveCaptionWidth(nextPageButton_, next << nextPageButton_->text());

    // The labels name the range edits; the paging and the event buttons share their
    // captions until a run gives the paging ones the unit's.
    fromLabel_->setBuddy(fromEdit_);
    toLabel_->setBuddy(toEdit_);
    eventNumberEdit_->setAccessibleName(QStringLiteral("Calamiteit nummer"));
    firstPageButton_->setAccessibleDescription(QStringLiteral("Eerste tijdeenheid in de grafiek"));
    previousPageButton_->setAccessibleDescription(
        QStringLiteral("Vorige tijdeenheid in de grafiek"));
    nextPageButton_->setAccessibleDescription(QStringLiteral("Volgende tijdeenheid in de grafiek"));
    fullViewButton_->setAccessibleDescription(QStringLiteral("De hele opname in de grafiek"));
    goToButton_->setAccessibleDescription(QStringLiteral("De grafiek van Vanaf tot Tot"));
    goToEventButton_->setAccessibleDescription(
        QStringLiteral("De calamiteit met dit nummer in de grafiek"));
    previousEventButton_->setAccessibleDescription(
        QStringLiteral("Vorige calamiteit in de grafiek"));
    nextEventButton_->setAccessibleDescription(QStringLiteral("Volgende calamiteit in de grafiek"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(firstPageButton_, 0, 0);
    grid->addWidget(previousPageButton_, 0, 1);
    grid->addWidget(nextPageButton_, 0, 2);
    grid->addWidget(fromLabel_, 1, 2);
    grid->addWidget(toLabel_, 1, 3);
    grid->addWidget(fullViewButton_, 2, 0);
    grid->addWidget(goToButton_, 2, 1);
    grid->addWidget(fromEdit_, 2, 2);
    grid->addWidget(toEdit_, 2, 3);
    grid->addWidget(eventNumberEdit_, 3, 0);
    grid->addWidget(goToEventButton_, 3, 1);
    grid->addWidget(previousEventButton_, 3, 2);
    grid->addWidget(nextEventButton_, 3, 3);

    connect(firstPageButton_, &QPushButton::clicked, this, &NavigationBox::showFirstPage);
    connect(previousPageButton_, &QPushButton::clicked, this, &NavigationBox::showPreviousPage);
    connect(nextPageButton_, &QPushButton::clicked, this, &NavigationBox::showNextPage);
    connect(fullViewButton_, &QPushButton::clicked, this, &NavigationBox::showFullView);
    connect(goToButton_, &QPushButton::clicked, this, &NavigationBox::goToRange);
    connect(goToEventButton_, &QPushButton::clicked, this, &NavigationBox::goToEvent);
    connect(previousEventButton_, &QPushButton::clicked, this, &NavigationBox::showPreviousEvent);
    connect(nextEventButton_, &QPushButton::clicked, this, &NavigationBox::showNextEvent);

    // The chart's keys act as the buttons do, and only while the button could be pressed.
    connect(chart_, &ChartView::navigationRequested, this, [this](ChartView::Navigation n) {
        using N = ChartView::Navigation;
        QPushButton* b = n == N::First      ? firstPageButton_
                         : n == N::Previous ? previousPageButton_
                         : n == N::Next     ? nextPageButton_
                                            : fullViewButton_;
        b->click();
    });
    connect(chart_, &ChartView::panned, this, &NavigationBox::chartPanned);

    // Usable once the chart has been filled (the window enables the group).
    setEnabled(false);
    setState(state_);
}

QList<QWidget*> NavigationBox::readingOrder() const {
    return {firstPageButton_, previousPageButton_,
            nextPageButton_,  fullViewButton_,
            goToButton_,      fromEdit_,
            toEdit_,          eventNumberEdit_,
            goToEventButton_, previousEventButton_,
            nextEventButton_};
}

void NavigationBox::setState(const NavigationState& state) {
    state_ = state;
    const NavigationButtons b =
        navigationButtons(state_, [this](long long n) { return isEvent(n); });
    previousPageButton_->setEnabled(b.previousPage);
    nextPageButton_->setEnabled(b.nextPage);
    previousEventButton_->setEnabled(b.previousEvent);
    nextEventButton_->setEnabled(b.nextEvent);
}

void NavigationBox::setUnit(int index) {
    const PagingCaptions& c =
        kUnitPagingCaptions[std::size_t(std::clamp(index, 0, int(kUnitPagingCaptions.size()) - 1))];
    nextPageButton_->setText(QString::fromUtf8(c.next));
    previousPageButton_->setText(QString::fromUtf8(c.previous));
    firstPageButton_->setText(QString::fromUtf8(c.first));
}

void NavigationBox::setEventList(std::span<const long double> starts,
                                 std::span<const long double> ends) {
    starts_ = starts;
    ends_ = ends;
}

void NavigationBox::forgetShownEvent() {
    NavigationState s = state_;
    s.event.reset();
    setState(s);
}

// Ends are set in one step per axis rather than one end at a time: a new window that
// does not overlap the current one would otherwise be refused halfway.
void NavigationBox::restoreFullView() {
    const FullView& f = chart_->fullView();
    chart_->rightAxis().setMinMax(f.temperatureMin, f.temperatureMax);
    chart_->leftAxis().setMinMax(f.voltageMin, f.voltageMax);
    chart_->bottomAxis().setMinMax(f.timeMin, f.timeMax);
}

void NavigationBox::showFirstPage() {
    chart_->uncheckMarkers();
    NavigationState s = state_;
    s.pageBack = false;
    s.pageOn = true;
    setState(s);
    chart_->bottomAxis().setMinMax(0, 1);
}

void NavigationBox::showNextPage() {
    chart_->uncheckMarkers();
    chart_->bottomAxis().shift(1);
    NavigationState s = state_;
    if (chart_->bottomAxis().minimum() > 0)
        s.pageBack = true;
    setState(s);
}

void NavigationBox::showPreviousPage() {
    chart_->uncheckMarkers();
    chart_->bottomAxis().shift(-1);
    NavigationState s = state_;
    if (chart_->bottomAxis().minimum() == 0.0)
        s.pageBack = false;
    setState(s);
}

void NavigationBox::showFullView() {
    chart_->uncheckMarkers();
    restoreFullView();
    NavigationState s = state_;
    s.pageBack = false;
    s.pageOn = false;
    setState(s);
}

void NavigationBox::goToRange() {
    chart_->uncheckMarkers();
    const FullView& f = chart_->fullView();
    chart_->rightAxis().moveTo(f.temperatureMin, f.temperatureMax);
    chart_->leftAxis().moveTo(f.voltageMin, f.voltageMax);
    chart_->bottomAxis().moveTo(f.timeMin, f.timeMax);
    AxisModel& bottom = chart_->bottomAxis();
    bottom.setAutomatic(false);

    const QLocale locale;
    bool ok = false;
    const double to = locale.toDouble(toEdit_->text(), &ok);
    if (!ok) {
        message_(QStringLiteral("Vul een getal in"));
    } else if (!bottom.setMaximum(to)) {
        message_(QStringLiteral("Vanaf waarde moet kleiner zijn dan de tot waarde"));
    } else {
        const double from = locale.toDouble(fromEdit_->text(), &ok);
        if (!ok) {
            message_(QStringLiteral("Vul een getal in"));
        } else if (!bottom.setMinimum(from)) {
            message_(QStringLiteral("Vanaf waarde moet kleiner zijn dan de tot waarde"));
        }
    }
    NavigationState s = state_;
    if (bottom.minimum() < 1)
        s.pageBack = false;
    if (bottom.minimum() > 0)
        s.pageOn = true;
    setState(s);
}

// A window moved sideways can be paged on from where it stands; "Vorige" follows the
// minimum as after paging.
void NavigationBox::chartPanned() {
    const double minimum = chart_->bottomAxis().minimum();
    NavigationState s = state_;
    if (minimum > 0)
        s.pageBack = true;
    else if (minimum == 0.0)
        s.pageBack = false;
    s.pageOn = true;
    setState(s);
}

bool NavigationBox::isEvent(long long n) const {
    if (n < 0 || n >= (long long)starts_.size() || n >= (long long)ends_.size()) {
        return false;
    }
    return !(starts_[n] == 0 && ends_[n] == 0);
}

void NavigationBox::showEventRange(long double start, long double end) {
    const long double d = end - start;
    chart_->bottomAxis().setMinMax(double(start - 0.1L * d), double(end + 0.1L * d));
}

void NavigationBox::showEvent(long long n) {
    long double start = 0, end = 0;
    if (isEvent(n)) {
        start = starts_[n];
        end = ends_[n];
    }
    showEventRange(start, end);
    eventNumber_ = n;
    NavigationState s = state_;
    s.event = n;
    setState(s);
}

void NavigationBox::goToEvent() {
    chart_->uncheckMarkers();
    bool ok = false;
    const int n = eventNumberEdit_->text().toInt(&ok);
    if (!ok) {
        message_(QStringLiteral("Voer een calamiteitnummer in. Zie calamiteiten overzicht"));
        return;
    }
    chart_->bottomAxis().setAutomatic(false);
    showEvent(n);
    if (!isEvent(n)) {
        message_(QStringLiteral("Geen calamiteit"));
        chart_->uncheckMarkers();
        restoreFullView();
    }
}

void NavigationBox::showChosenEvent(long long n, long double start, long double end) {
    chart_->uncheckMarkers();
    eventNumberEdit_->setText(QString::number(n));
    chart_->bottomAxis().setAutomatic(false);
    if (isEvent(n)) {
        showEvent(n);
        return;
    }
    showEventRange(start, end);
    eventNumber_ = n;
    NavigationState s = state_;
    s.event.reset();
    setState(s);
}

void NavigationBox::showNextEvent() {
    const long long n = eventNumber_ + 1;
    eventNumberEdit_->setText(QString::number(n));
    showEvent(n);
}

void NavigationBox::showPreviousEvent() {
    chart_->uncheckMarkers();
    const long long n = eventNumber_ - 1;
    eventNumberEdit_->setText(QString::number(n));
    showEvent(n);
}

} // namespace veltrano
