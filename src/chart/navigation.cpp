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

namespace {

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromUtf8(name));
    return b;
}

} // namespace

NavigationBox::NavigationBox(ChartView* chart, MessageFn message, QWidget* parent)
    : QGroupBox(QStringLiteral("Grafiek navigatie"), parent), chart_(chart),
      message_(std::move(message)) {
    setObjectName(QStringLiteral("navigatiegroupbox"));
    beginbijbegin = button(this, "beginbijbegin", kDesignPagingCaptions.first);
    vorigebutton = button(this, "vorigebutton", kDesignPagingCaptions.previous);
    volgendebutton = button(this, "volgendebutton", kDesignPagingCaptions.next);
    UnzoomButton = button(this, "UnzoomButton", "Uitzoomen");
    GaNaarButton = button(this, "GaNaarButton", "Ga naar");
    GaNaarLabel = new QLabel(QStringLiteral("Vanaf"), this);
    GaNaarLabel->setObjectName(QStringLiteral("GaNaarLabel"));
    totlabel = new QLabel(QStringLiteral("Tot"), this);
    totlabel->setObjectName(QStringLiteral("totlabel"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    calamiteitedit = new QLineEdit(this);
    calamiteitedit->setObjectName(QStringLiteral("calamiteitedit"));
    calamiteitedit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    ganaarcalamiteitbutton = button(this, "ganaarcalamiteitbutton", "Ga naar Calamiteit");
    vorigecalamiteitbutton = button(this, "vorigecalamiteitbutton", "Vorige");
    volgendecalamiteitbutton = button(this, "volgendecalamiteitbutton", "Volgende");

    // The labels name the range edits; the paging and the event buttons share their
    // captions until a run gives the paging ones the unit's.
    GaNaarLabel->setBuddy(Edit2);
    totlabel->setBuddy(Edit1);
    calamiteitedit->setAccessibleName(QStringLiteral("Calamiteit nummer"));
    beginbijbegin->setAccessibleDescription(QStringLiteral("Eerste tijdeenheid in de grafiek"));
    vorigebutton->setAccessibleDescription(QStringLiteral("Vorige tijdeenheid in de grafiek"));
    volgendebutton->setAccessibleDescription(QStringLiteral("Volgende tijdeenheid in de grafiek"));
    UnzoomButton->setAccessibleDescription(QStringLiteral("De hele opname in de grafiek"));
    GaNaarButton->setAccessibleDescription(QStringLiteral("De grafiek van Vanaf tot Tot"));
    ganaarcalamiteitbutton->setAccessibleDescription(
        QStringLiteral("De calamiteit met dit nummer in de grafiek"));
    vorigecalamiteitbutton->setAccessibleDescription(
        QStringLiteral("Vorige calamiteit in de grafiek"));
    volgendecalamiteitbutton->setAccessibleDescription(
        QStringLiteral("Volgende calamiteit in de grafiek"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(beginbijbegin, 0, 0);
    grid->addWidget(vorigebutton, 0, 1);
    grid->addWidget(volgendebutton, 0, 2);
    grid->addWidget(GaNaarLabel, 1, 2);
    grid->addWidget(totlabel, 1, 3);
    grid->addWidget(UnzoomButton, 2, 0);
    grid->addWidget(GaNaarButton, 2, 1);
    grid->addWidget(Edit2, 2, 2);
    grid->addWidget(Edit1, 2, 3);
    grid->addWidget(calamiteitedit, 3, 0);
    grid->addWidget(ganaarcalamiteitbutton, 3, 1);
    grid->addWidget(vorigecalamiteitbutton, 3, 2);
    grid->addWidget(volgendecalamiteitbutton, 3, 3);

    connect(beginbijbegin, &QPushButton::clicked, this, &NavigationBox::beginbijbeginClick);
    connect(vorigebutton, &QPushButton::clicked, this, &NavigationBox::vorigebuttonClick);
    connect(volgendebutton, &QPushButton::clicked, this, &NavigationBox::volgendebuttonClick);
    connect(UnzoomButton, &QPushButton::clicked, this, &NavigationBox::UnzoomButtonClick);
    connect(GaNaarButton, &QPushButton::clicked, this, &NavigationBox::GaNaarButtonClick);
    connect(ganaarcalamiteitbutton, &QPushButton::clicked, this,
            &NavigationBox::ganaarcalamiteitbuttonClick);
    connect(vorigecalamiteitbutton, &QPushButton::clicked, this,
            &NavigationBox::vorigecalamiteitbuttonClick);
    connect(volgendecalamiteitbutton, &QPushButton::clicked, this,
            &NavigationBox::volgendecalamiteitbuttonClick);

    // The chart's keys act as the buttons do, and only while the button could be pressed.
    connect(chart_, &ChartView::navigationRequested, this, [this](ChartView::Navigation n) {
        using N = ChartView::Navigation;
        QPushButton* b = n == N::First      ? beginbijbegin
                         : n == N::Previous ? vorigebutton
                         : n == N::Next     ? volgendebutton
                                            : UnzoomButton;
        b->click();
    });
    connect(chart_, &ChartView::panned, this, &NavigationBox::chartPanned);

    // Usable once the chart has been filled.
    setEnabled(false);
    vorigebutton->setEnabled(false);
    volgendebutton->setEnabled(false);
    disableEventButtons();
}

QList<QWidget*> NavigationBox::readingOrder() const {
    return {beginbijbegin,
            vorigebutton,
            volgendebutton,
            UnzoomButton,
            GaNaarButton,
            Edit2,
            Edit1,
            calamiteitedit,
            ganaarcalamiteitbutton,
            vorigecalamiteitbutton,
            volgendecalamiteitbutton};
}

void NavigationBox::setUnit(int index) {
    const PagingCaptions& c =
        kUnitPagingCaptions[std::size_t(std::clamp(index, 0, int(kUnitPagingCaptions.size()) - 1))];
    volgendebutton->setText(QString::fromUtf8(c.next));
    vorigebutton->setText(QString::fromUtf8(c.previous));
    beginbijbegin->setText(QString::fromUtf8(c.first));
}

void NavigationBox::setEventList(std::span<const long double> starts,
                                 std::span<const long double> ends) {
    starts_ = starts;
    ends_ = ends;
}

void NavigationBox::disableEventButtons() {
    vorigecalamiteitbutton->setEnabled(false);
    volgendecalamiteitbutton->setEnabled(false);
}

// Ends are set in one step per axis rather than one end at a time: a new window that
// does not overlap the current one would otherwise be refused halfway.
void NavigationBox::restoreFullView() {
    const FullView& f = chart_->fullView;
    chart_->rightAxis().setMinMax(f.rightaxismin, f.rightaxismax);
    chart_->leftAxis().setMinMax(f.leftaxismin, f.leftaxismax);
    chart_->bottomAxis().setMinMax(f.bottomaxismin, f.bottomaxismax);
}

void NavigationBox::beginbijbeginClick() {
    chart_->uncheckMarkers();
    vorigebutton->setEnabled(false);
    volgendebutton->setEnabled(true);
    chart_->bottomAxis().setMinMax(0, 1);
}

void NavigationBox::volgendebuttonClick() {
    chart_->uncheckMarkers();
    chart_->bottomAxis().shift(1);
    if (chart_->bottomAxis().minimum() > 0) {
        vorigebutton->setEnabled(true);
    }
}

void NavigationBox::vorigebuttonClick() {
    chart_->uncheckMarkers();
    chart_->bottomAxis().shift(-1);
    if (chart_->bottomAxis().minimum() == 0.0) {
        vorigebutton->setEnabled(false);
    }
}

void NavigationBox::UnzoomButtonClick() {
    chart_->uncheckMarkers();
    restoreFullView();
    vorigebutton->setEnabled(false);
    volgendebutton->setEnabled(false);
}

void NavigationBox::GaNaarButtonClick() {
    chart_->uncheckMarkers();
    const FullView& f = chart_->fullView;
    chart_->rightAxis().moveTo(f.rightaxismin, f.rightaxismax);
    chart_->leftAxis().moveTo(f.leftaxismin, f.leftaxismax);
    chart_->bottomAxis().moveTo(f.bottomaxismin, f.bottomaxismax);
    chart_->uncheckMarkers();
    AxisModel& bottom = chart_->bottomAxis();
    bottom.setAutomatic(false);

    const QLocale locale;
    bool ok = false;
    const double tot = locale.toDouble(Edit1->text(), &ok);
    if (!ok) {
        message_(QStringLiteral("Vul een getal in"));
    } else if (!bottom.setMaximum(tot)) {
        message_(QStringLiteral("Vanaf waarde moet kleiner zijn dan de tot waarde"));
    } else {
        const double vanaf = locale.toDouble(Edit2->text(), &ok);
        if (!ok) {
            message_(QStringLiteral("Vul een getal in"));
        } else if (!bottom.setMinimum(vanaf)) {
            message_(QStringLiteral("Vanaf waarde moet kleiner zijn dan de tot waarde"));
        }
    }
    if (bottom.minimum() < 1) {
        vorigebutton->setEnabled(false);
    }
    if (bottom.minimum() > 0) {
        volgendebutton->setEnabled(true);
    }
}

// A window moved sideways can be paged on from where it stands; "Vorige" follows the
// minimum as after paging.
void NavigationBox::chartPanned() {
    const double minimum = chart_->bottomAxis().minimum();
    if (minimum > 0) {
        vorigebutton->setEnabled(true);
    } else if (minimum == 0.0) {
        vorigebutton->setEnabled(false);
    }
    volgendebutton->setEnabled(true);
}

bool NavigationBox::emptyEntry(long long n) const {
    if (n < 0 || n >= (long long)starts_.size() || n >= (long long)ends_.size()) {
        return true;
    }
    return starts_[n] == 0 && ends_[n] == 0;
}

void NavigationBox::showCalamity(long long n) {
    long double start = 0, end = 0;
    if (!emptyEntry(n)) {
        start = starts_[n];
        end = ends_[n];
    }
    const long double d = end - start;
    chart_->bottomAxis().setMinMax(double(start - 0.1L * d), double(end + 0.1L * d));
    volgendecalamiteitbutton->setEnabled(!emptyEntry(n + 1));
    vorigecalamiteitbutton->setEnabled(!emptyEntry(n - 1));
}

void NavigationBox::ganaarcalamiteitbuttonClick() {
    chart_->uncheckMarkers();
    bool ok = false;
    const int n = calamiteitedit->text().toInt(&ok);
    if (!ok) {
        message_(QStringLiteral("Voer een calamiteitnummer in. Zie calamiteiten overzicht"));
        return;
    }
    calamiteitnummer = n;
    chart_->bottomAxis().setAutomatic(false);
    showCalamity(calamiteitnummer);
    if (emptyEntry(calamiteitnummer)) {
        message_(QStringLiteral("Geen calamiteit"));
        chart_->uncheckMarkers();
        restoreFullView();
    }
}

void NavigationBox::volgendecalamiteitbuttonClick() {
    ++calamiteitnummer;
    calamiteitedit->setText(QString::number(calamiteitnummer));
    showCalamity(calamiteitnummer);
}

void NavigationBox::vorigecalamiteitbuttonClick() {
    chart_->uncheckMarkers();
    --calamiteitnummer;
    calamiteitedit->setText(QString::number(calamiteitnummer));
    showCalamity(calamiteitnummer);
}

} // namespace veltrano
