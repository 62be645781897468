#include <array>
#include <memory>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "chart/chartview.h"
#include "chart/navigation.h"

using veltrano::ChartView;
using veltrano::NavigationBox;

namespace {

// A chart whose full view is 0..50 (bottom), 8..16 (left), 0..40 (right), its navigation
// group, and the events 1: 10..12, 2: 20..21, 3: 30..35.
struct Fixture {
    ChartView chart;
    QStringList messages;
    NavigationBox nav{&chart, [this](const QString& m) { messages << m; }};
    std::array<long double, 10000> starts{}, ends{};

    Fixture() {
        chart.fullView = {0, 50, 8, 16, 0, 40};
        starts[1] = 10;
        ends[1] = 12;
        starts[2] = 20;
        ends[2] = 21;
        starts[3] = 30;
        ends[3] = 35;
        nav.setEventList(starts, ends);
        nav.setEnabled(true);
        chart.MarkerCheckBox->setChecked(true);
    }
    double min() { return chart.bottomAxis().minimum(); }
    double max() { return chart.bottomAxis().maximum(); }
};

void run(Fixture& f, const QString& ops) {
    for (const QChar op : ops) {
        QPushButton* b = op == 'E'   ? f.nav.beginbijbegin
                         : op == 'N' ? f.nav.volgendebutton
                         : op == 'P' ? f.nav.vorigebutton
                                     : f.nav.UnzoomButton;
        QVERIFY2(b->isEnabled(), qPrintable(QString(op)));
        QTest::mouseClick(b, Qt::LeftButton);
    }
}

} // namespace

class NavigationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }
    void captions_data();
    void captions();
    void paging_data();
    void paging();
    void goTo_data();
    void goTo();
    void goToEvent_data();
    void goToEvent();
    void nextAndPreviousEvent();
};

void NavigationTest::captions_data() {
    QTest::addColumn<int>("unit");
    QTest::addColumn<QStringList>("captions"); // first, previous, next
    QTest::newRow("before processing") << -1 << QStringList{"Start vanaf 0", "Vorige", "Volgende"};
    QTest::newRow("seconds") << 0
                             << QStringList{"Eerste seconde", "Vorige seconde", "Volgende seconde"};
    QTest::newRow("minutes") << 1
                             << QStringList{"Eerste minuut", "Vorige minuut", "Volgende minuut"};
    QTest::newRow("weeks") << 4 << QStringList{"Eerste week", "Vorige week", "Volgende week"};
}

void NavigationTest::captions() {
    QFETCH(int, unit);
    Fixture f;
    if (unit >= 0) {
        f.nav.setUnit(unit);
    }
    QTEST((QStringList{f.nav.beginbijbegin->text(), f.nav.vorigebutton->text(),
                       f.nav.volgendebutton->text()}),
          "captions");
    QCOMPARE(f.nav.title(), QStringLiteral("Grafiek navigatie"));
    QCOMPARE(f.nav.objectName(), QStringLiteral("navigatiegroupbox"));
    QCOMPARE(f.nav.UnzoomButton->text(), QStringLiteral("Uitzoomen"));
    QCOMPARE(f.nav.GaNaarButton->text(), QStringLiteral("Ga naar"));
    QCOMPARE(f.nav.ganaarcalamiteitbutton->text(), QStringLiteral("Ga naar Calamiteit"));
}

void NavigationTest::paging_data() {
    QTest::addColumn<double>("fromMin");
    QTest::addColumn<double>("fromMax");
    QTest::addColumn<QString>("ops"); // E = first, N = next, P = previous, U = full view
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<bool>("previousEnabled");
    QTest::addColumn<bool>("nextEnabled");
    QTest::newRow("first unit") << 7.0 << 9.0 << "E" << 0.0 << 1.0 << false << true;
    QTest::newRow("first, next twice") << 7.0 << 9.0 << "ENN" << 2.0 << 3.0 << true << true;
    QTest::newRow("and back twice") << 7.0 << 9.0 << "ENNPP" << 0.0 << 1.0 << false << true;
    QTest::newRow("next keeps a zoomed width") << 2.3 << 2.8 << "N" << 3.3 << 3.8 << true << true;
    QTest::newRow("previous to below 0 stays enabled")
        << 0.5 << 1.5 << "P" << -0.5 << 0.5 << true << true;
    QTest::newRow("previous on a window narrower than a unit")
        << 5.0 << 5.5 << "P" << 4.0 << 4.5 << true << true;
    QTest::newRow("first from far below 0") << -3.5 << -2.5 << "E" << 0.0 << 1.0 << false << true;
    QTest::newRow("full view") << 2.0 << 3.0 << "U" << 0.0 << 50.0 << false << false;
}

void NavigationTest::paging() {
    QFETCH(double, fromMin);
    QFETCH(double, fromMax);
    QFETCH(QString, ops);
    Fixture f;
    f.chart.bottomAxis().setMinMax(fromMin, fromMax);
    f.chart.leftAxis().setMinMax(12, 13);
    f.nav.vorigebutton->setEnabled(true); // as after an earlier "Eerste" and "Volgende"
    f.nav.volgendebutton->setEnabled(true);
    run(f, ops);
    if (QTest::currentTestFailed()) {
        return;
    }
    QTEST(f.min(), "min");
    QTEST(f.max(), "max");
    QTEST(f.nav.vorigebutton->isEnabled(), "previousEnabled");
    QTEST(f.nav.volgendebutton->isEnabled(), "nextEnabled");
    QVERIFY(!f.chart.MarkerCheckBox->isChecked());
    QVERIFY(!f.chart.markersActive());
    // Only the full view touches the vertical axes.
    QCOMPARE(f.chart.leftAxis().minimum(), ops == "U" ? 8.0 : 12.0);
    QVERIFY(f.messages.isEmpty());
}

void NavigationTest::goTo_data() {
    QTest::addColumn<QString>("vanaf");
    QTest::addColumn<QString>("tot");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("previousEnabled");
    QTest::addColumn<bool>("nextEnabled");
    const QString refused = "Vanaf waarde moet kleiner zijn dan de tot waarde";
    const QString number = "Vul een getal in";
    // Before each row: Vorige enabled, Volgende disabled.
    QTest::newRow("a range") << "2,5"
                             << "7,25" << 2.5 << 7.25 << "" << true << true;
    QTest::newRow("starting below 1") << "0,5"
                                      << "2" << 0.5 << 2.0 << "" << false << true;
    QTest::newRow("zero width") << "4"
                                << "4" << 4.0 << 4.0 << "" << true << true;
    QTest::newRow("vanaf above tot") << "5"
                                     << "3" << 0.0 << 3.0 << refused << false << false;
    QTest::newRow("tot below the full view") << "-5"
                                             << "-1" << 0.0 << 50.0 << refused << false << false;
    QTest::newRow("vanaf not a number") << "abc"
                                        << "7" << 0.0 << 7.0 << number << false << false;
    QTest::newRow("tot empty") << "3"
                               << "" << 0.0 << 50.0 << number << false << false;
}

void NavigationTest::goTo() {
    QFETCH(QString, vanaf);
    QFETCH(QString, tot);
    QFETCH(QString, message);
    Fixture f;
    f.chart.bottomAxis().setMinMax(70, 80); // not overlapping the full view
    f.chart.leftAxis().setMinMax(12, 13);
    f.nav.vorigebutton->setEnabled(true);
    f.nav.volgendebutton->setEnabled(false);
    f.nav.Edit2->setText(vanaf);
    f.nav.Edit1->setText(tot);
    QTest::mouseClick(f.nav.GaNaarButton, Qt::LeftButton);
    QTEST(f.min(), "min");
    QTEST(f.max(), "max");
    QCOMPARE(f.messages, message.isEmpty() ? QStringList{} : QStringList{message});
    QTEST(f.nav.vorigebutton->isEnabled(), "previousEnabled");
    QTEST(f.nav.volgendebutton->isEnabled(), "nextEnabled");
    QVERIFY(!f.chart.bottomAxis().automaticMinimum() && !f.chart.bottomAxis().automaticMaximum());
    QCOMPARE(f.chart.leftAxis().minimum(), 8.0);
    QCOMPARE(f.chart.rightAxis().maximum(), 40.0);
    QVERIFY(!f.chart.markersActive());
}

void NavigationTest::goToEvent_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<bool>("previousEnabled");
    QTest::addColumn<bool>("nextEnabled");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("number");
    const QString none = "Geen calamiteit";
    const QString typeOne = "Voer een calamiteitnummer in. Zie calamiteiten overzicht";
    QTest::newRow("first event") << "1" << 9.8 << 12.2 << false << true << "" << 1;
    QTest::newRow("middle event") << "2" << 19.9 << 21.1 << true << true << "" << 2;
    QTest::newRow("last event") << "3" << 29.5 << 35.5 << true << false << "" << 3;
    QTest::newRow("beyond the last") << "4" << 0.0 << 50.0 << true << false << none << 4;
    QTest::newRow("entry 0") << "0" << 0.0 << 50.0 << false << true << none << 0;
    QTest::newRow("last entry of the list")
        << "9999" << 0.0 << 50.0 << false << false << none << 9999;
    QTest::newRow("outside the list")
        << "123456" << 0.0 << 50.0 << false << false << none << 123456;
    QTest::newRow("nothing typed") << "" << 70.0 << 80.0 << false << false << typeOne << 7;
    QTest::newRow("too long for a number")
        << "99999999999" << 70.0 << 80.0 << false << false << typeOne << 7;
}

void NavigationTest::goToEvent() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Fixture f;
    f.nav.calamiteitnummer = 7;
    f.chart.bottomAxis().setMinMax(70, 80);
    f.nav.calamiteitedit->setText(typed);
    QCOMPARE(f.nav.calamiteitedit->text(), typed); // digits only pass the edit
    QTest::mouseClick(f.nav.ganaarcalamiteitbutton, Qt::LeftButton);
    QFETCH(double, min);
    QFETCH(double, max);
    QVERIFY2(qFuzzyCompare(f.min(), min), qPrintable(QString::number(f.min())));
    QVERIFY2(qFuzzyCompare(f.max(), max), qPrintable(QString::number(f.max())));
    QTEST(f.nav.vorigecalamiteitbutton->isEnabled(), "previousEnabled");
    QTEST(f.nav.volgendecalamiteitbutton->isEnabled(), "nextEnabled");
    QCOMPARE(f.messages, message.isEmpty() ? QStringList{} : QStringList{message});
    QTEST(int(f.nav.calamiteitnummer), "number");
    QVERIFY(!f.chart.markersActive());
}

void NavigationTest::nextAndPreviousEvent() {
    Fixture f;
    f.nav.calamiteitedit->setText("1");
    QTest::mouseClick(f.nav.ganaarcalamiteitbutton, Qt::LeftButton);
    f.chart.MarkerCheckBox->setChecked(true);

    QTest::mouseClick(f.nav.volgendecalamiteitbutton, Qt::LeftButton);
    QCOMPARE(f.nav.calamiteitnummer, 2LL);
    QCOMPARE(f.nav.calamiteitedit->text(), QStringLiteral("2"));
    QVERIFY(qFuzzyCompare(f.min(), 19.9) && qFuzzyCompare(f.max(), 21.1));
    QVERIFY(f.chart.markersActive()); // next leaves the lines alone

    QTest::mouseClick(f.nav.volgendecalamiteitbutton, Qt::LeftButton);
    QCOMPARE(f.nav.calamiteitnummer, 3LL);
    QVERIFY(!f.nav.volgendecalamiteitbutton->isEnabled());

    QTest::mouseClick(f.nav.vorigecalamiteitbutton, Qt::LeftButton);
    QTest::mouseClick(f.nav.vorigecalamiteitbutton, Qt::LeftButton);
    QCOMPARE(f.nav.calamiteitnummer, 1LL);
    QCOMPARE(f.nav.calamiteitedit->text(), QStringLiteral("1"));
    QVERIFY(!f.nav.vorigecalamiteitbutton->isEnabled());
    QVERIFY(f.nav.volgendecalamiteitbutton->isEnabled());
    QVERIFY(!f.chart.markersActive()); // previous switches them off
    QVERIFY(f.messages.isEmpty());

    f.nav.disableEventButtons(); // a new processing run
    QVERIFY(!f.nav.volgendecalamiteitbutton->isEnabled());
    QCOMPARE(f.nav.calamiteitnummer, 1LL);
}

QTEST_MAIN(NavigationTest)
#include "tst_navigation.moc"
