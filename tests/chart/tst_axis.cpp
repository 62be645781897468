#include <algorithm>
#include <memory>

#include <QSignalSpy>
#include <QTest>

#include "chart/axis.h"

using veltrano::AxisModel;

class AxisTest : public QObject {
    Q_OBJECT
private slots:
    void oneEndRefusedWhenCrossing_data();
    void oneEndRefusedWhenCrossing();
    void bothEndsInEitherOrderFixTheAxis_data();
    void bothEndsInEitherOrderFixTheAxis();
    void automaticEndsFollowTheDataOnly();
    void moveAndShiftKeepTheFlags();
};

static AxisModel* fixedAxis(double lo, double hi) {
    auto* a = new AxisModel;
    a->setMinMax(lo, hi);
    return a;
}

void AxisTest::oneEndRefusedWhenCrossing_data() {
    QTest::addColumn<bool>("setMin");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("expMin");
    QTest::addColumn<double>("expMax");
    // Axis starts at 2 .. 5.
    QTest::newRow("min inside") << true << 3.0 << true << 3.0 << 5.0;
    QTest::newRow("min equal to max") << true << 5.0 << true << 5.0 << 5.0;
    QTest::newRow("min above max") << true << 5.5 << false << 2.0 << 5.0;
    QTest::newRow("min below") << true << -10.0 << true << -10.0 << 5.0;
    QTest::newRow("max equal to min") << false << 2.0 << true << 2.0 << 2.0;
    QTest::newRow("max below min") << false << 1.999 << false << 2.0 << 5.0;
    QTest::newRow("max above") << false << 1e9 << true << 2.0 << 1e9;
}

void AxisTest::oneEndRefusedWhenCrossing() {
    QFETCH(bool, setMin);
    QFETCH(double, value);
    QFETCH(bool, accepted);
    std::unique_ptr<AxisModel> a(fixedAxis(2, 5));
    QSignalSpy spy(a.get(), &AxisModel::changed);
    const bool ok = setMin ? a->setMinimum(value) : a->setMaximum(value);
    QCOMPARE(ok, accepted);
    QTEST(a->minimum(), "expMin");
    QTEST(a->maximum(), "expMax");
    QCOMPARE(spy.count(), accepted ? 1 : 0);
}

void AxisTest::bothEndsInEitherOrderFixTheAxis_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::newRow("ascending, far above the current range") << 100.0 << 200.0;
    QTest::newRow("descending, far below the current range") << -50.0 << -80.0;
    QTest::newRow("equal") << 7.0 << 7.0;
}

void AxisTest::bothEndsInEitherOrderFixTheAxis() {
    QFETCH(double, a);
    QFETCH(double, b);
    AxisModel axis;
    axis.applyAutomatic(0, 10);
    QVERIFY(axis.automaticMinimum() && axis.automaticMaximum());
    axis.setMinMax(a, b);
    QCOMPARE(axis.minimum(), std::min(a, b));
    QCOMPARE(axis.maximum(), std::max(a, b));
    QVERIFY(!axis.automaticMinimum());
    QVERIFY(!axis.automaticMaximum());
    axis.applyAutomatic(-1000, 1000); // a drawing no longer moves fixed ends
    QCOMPARE(axis.minimum(), std::min(a, b));
    QCOMPARE(axis.maximum(), std::max(a, b));
}

void AxisTest::automaticEndsFollowTheDataOnly() {
    AxisModel axis;
    axis.setMinMax(0, 10);
    axis.setAutomaticMaximum(true);
    QVERIFY(axis.setMaximum(50)); // kept until the next drawing
    QCOMPARE(axis.maximum(), 50.0);
    axis.applyAutomatic(3, 8);
    QCOMPARE(axis.minimum(), 0.0);
    QCOMPARE(axis.maximum(), 8.0);
}

void AxisTest::moveAndShiftKeepTheFlags() {
    AxisModel axis;
    axis.setMinMax(0.5, 1.5);
    axis.setAutomaticMinimum(true);
    axis.shift(-1);
    QCOMPARE(axis.minimum(), -0.5);
    QCOMPARE(axis.maximum(), 0.5);
    QVERIFY(axis.automaticMinimum());
    QVERIFY(!axis.automaticMaximum());
    axis.moveTo(30, 20); // a window that does not overlap the current one
    QCOMPARE(axis.minimum(), 20.0);
    QCOMPARE(axis.maximum(), 30.0);
    QVERIFY(axis.automaticMinimum());
}

QTEST_GUILESS_MAIN(AxisTest)
#include "tst_axis.moc"
