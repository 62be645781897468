#include <algorithm>
#include <functional>
#include <memory>

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

#include "analysis/exports.h"
#include "app/eventtable.h"
#include "app/eventtablemodel.h"
#include "chart/chartview.h"
#include "chart/navigation.h"
#include "demo.h"
#include "processingfixture.h"
#include "recording/timeunits.h"
#include "windowfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {

// Over-voltages of one minute, more than the event list holds.
ImageBuilder moreEventsThanTheList() {
    ImageBuilder b = minuteRecording();
    for (int i = 0; i < 10'001; ++i)
        b.voltage(12.8).voltage(12.3);
    return b.done();
}

// Events of every kind, of different lengths, in one hour of minutes.
ImageBuilder everyKind() {
    ImageBuilder b = minuteRecording();
    b.voltage(12.3, 3).voltage(12.8, 12).voltage(12.3, 2).voltage(11.0, 3).voltage(12.3);
    b.temperature(45, 2).temperature(20).temperature(-5, 4).temperature(20).voltage(12.3, 2);
    for (int i = 0; i < 11; ++i)
        b.voltage(12.8, i % 4 + 1).voltage(12.3);
    return b.done();
}

// The calamiteiten export's fields, row by row.
QList<QStringList> csvRows(const ProcessingResult& r) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (writeCsv(CsvExport::Events, r, r.settings, buffer))
        qFatal("export failed");
    QList<QStringList> rows;
    for (const QByteArray& line : bytes.mid(3).split('\n').mid(1))
        if (!line.isEmpty())
            rows << QString::fromUtf8(line).split(QLatin1Char(';'));
    return rows;
}

// "2 dagen 3 uren 4 minuten 5 seconden " in seconds.
long long secondsOf(const QString& duration) {
    const QStringList p = duration.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return p.at(0).toLongLong() * 86400 + p.at(2).toLongLong() * 3600 + p.at(4).toLongLong() * 60 +
           p.at(6).toLongLong();
}

struct TableWindow : WindowFixture {
    EventTable* table() const { return control<EventTable>(form, "eventTable"); }
    QTableView* view() const { return table()->view(); }
    QAbstractItemModel* shown() const { return view()->model(); }
    QString cell(int row, int column) const {
        return shown()->index(row, column).data().toString();
    }
    int rowOf(int number) const {
        for (int row = 0; row < shown()->rowCount(); ++row)
            if (cell(row, EventTableModel::Number) == QString::number(number))
                return row;
        return -1;
    }
    // What the chart and the navigation show.
    struct Shown {
        double from, to;
        bool markers;
        QString number;
        bool previous, next;
        bool operator==(const Shown&) const = default;
    };
    Shown now() const {
        return {
            form.chart()->bottomAxis().minimum(),         form.chart()->bottomAxis().maximum(),
            form.chart()->markersCheckBox()->isChecked(), edit("eventNumberEdit")->text(),
            button("previousEventButton")->isEnabled(),   button("nextEventButton")->isEnabled()};
    }
    // Every excursion counts, however short.
    void openWithoutTimeFilters(const ImageBuilder& image) {
        edit("voltageTimeFilterEdit")->setText("0");
        edit("temperatureTimeFilterEdit")->setText("0");
        open(image);
    }
    void reset() {
        view()->clearSelection();
        form.navigation()->showFullView();
        form.chart()->markersCheckBox()->setChecked(true);
        edit("eventNumberEdit")->clear();
    }
};

} // namespace

namespace QTest {
template <> char* toString(const TableWindow::Shown& s) {
    return qstrdup(qPrintable(QStringLiteral("%1..%2 markers %3 number %4 buttons %5 %6")
                                  .arg(s.from, 0, 'g', 17)
                                  .arg(s.to, 0, 'g', 17)
                                  .arg(s.markers)
                                  .arg(s.number)
                                  .arg(s.previous)
                                  .arg(s.next)));
}
} // namespace QTest

class EventTableTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(dutch()); }
    void cleanupTestCase() { many_.reset(); }

    // Every column against the calamiteiten export of the same run.
    void rowsAsTheExportHasThem_data() {
        QTest::addColumn<ImageBuilder>("image");
        QTest::addColumn<int>("unit");
        QTest::newRow("every kind, minutes") << everyKind() << 1;
        QTest::newRow("every kind, seconds") << everyKind() << 0;
        QTest::newRow("demo, hours") << demoRecording() << 2;
    }
    void rowsAsTheExportHasThem() {
        QFETCH(ImageBuilder, image);
        QFETCH(int, unit);
        TableWindow w;
        w.timeUnits()->button(unit)->setChecked(true);
        w.openWithoutTimeFilters(image);
        w.process();
        const ProcessingResult& r = w.result();
        const QList<QStringList> csv = csvRows(r);
        QCOMPARE(w.shown()->rowCount(), csv.size());
        QVERIFY(csv.size() >= 4);
        QCOMPARE(w.shown()->headerData(EventTableModel::BeginInUnit, Qt::Horizontal).toString(),
                 QStringLiteral("Begin (%1)")
                     .arg(QString::fromUtf8(kTimeUnits[std::size_t(unit)].plural)));
        for (int row = 0; row < csv.size(); ++row) {
            const QStringList& e = csv[row];
            QCOMPARE(w.cell(row, EventTableModel::Number), e[0]);
            QCOMPARE(w.cell(row, EventTableModel::Kind), e[1]);
            QCOMPARE(w.cell(row, EventTableModel::Ordinal), e[2]);
            QCOMPARE(w.cell(row, EventTableModel::BeginInUnit), e[3]);
            QCOMPARE(secondsOf(w.cell(row, EventTableModel::Duration)),
                     (long long)(QLocale().toDouble(e[5])));
            QCOMPARE(w.cell(row, EventTableModel::Average), e[6]);
            QCOMPARE(w.cell(row, EventTableModel::Extreme), e[7]);
            const double beginSeconds = QLocale().toDouble(e[3]) * r.secondsPerUnit;
            QCOMPARE(w.cell(row, EventTableModel::Begin),
                     r.settings.periodStart.addSecs(qint64(std::floor(beginSeconds + 0.5)))
                         .toString("dd-MM-yyyy HH:mm:ss"));
        }
    }

    // Sorted by the values, not the texts, both ways; the filter keeps one kind.
    void sortAndFilter() {
        TableWindow w;
        w.openWithoutTimeFilters(everyKind());
        w.process();
        const QList<QStringList> csv = csvRows(w.result());
        const auto number = [](const QString& text) { return QLocale().toDouble(text); };
        const auto kindRank = [](const QString& word) {
            return QStringList{"overspanning", "onderspanning", "overtemperatuur",
                               "ondertemperatuur"}
                .indexOf(word);
        };
        // The export's field that each column sorts by, as a number.
        const std::function<double(const QStringList&)> keys[] = {
            [&](const QStringList& e) { return number(e[0]); },
            [&](const QStringList& e) { return double(kindRank(e[1])); },
            [&](const QStringList& e) { return number(e[2]); },
            [&](const QStringList& e) { return number(e[3]); },
            [&](const QStringList& e) { return number(e[3]); },
            [&](const QStringList& e) { return number(e[5]); },
            [&](const QStringList& e) { return number(e[6]); },
            [&](const QStringList& e) { return number(e[7]); },
        };
        for (int column = 0; column < EventTableModel::ColumnCount; ++column) {
            for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
                w.view()->sortByColumn(column, order);
                QList<double> seen;
                for (int row = 0; row < w.shown()->rowCount(); ++row)
                    seen << keys[column](csv[w.cell(row, 0).toInt() - 1]);
                QVERIFY2(order == Qt::AscendingOrder ? std::is_sorted(seen.begin(), seen.end())
                                                     : std::is_sorted(seen.rbegin(), seen.rend()),
                         qPrintable(QStringLiteral("column %1").arg(column)));
            }
        }
        QComboBox* kinds = w.table()->kindFilter();
        QCOMPARE(kinds->count(), 5);
        for (int k = 1; k < kinds->count(); ++k) {
            kinds->setCurrentIndex(k);
            const auto expected = std::count_if(csv.begin(), csv.end(), [&](const QStringList& e) {
                return e[1] == kinds->itemText(k);
            });
            QVERIFY(expected > 0);
            QCOMPARE(w.shown()->rowCount(), int(expected));
            for (int row = 0; row < w.shown()->rowCount(); ++row)
                QCOMPARE(w.cell(row, EventTableModel::Kind), kinds->itemText(k));
        }
        kinds->setCurrentIndex(0);
        QCOMPARE(w.shown()->rowCount(), csv.size());
    }

    // Choosing row N shows what "Ga naar Calamiteit" N shows; beyond the event list the
    // same range, with no neighbours to step to.
    void choosingARowGoesToItsEvent_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("sorted");
        QTest::newRow("first") << 1 << false;
        QTest::newRow("second, sorted by duration") << 2 << true;
        QTest::newRow("the last the list holds") << 9'999 << false;
        QTest::newRow("the last the list holds, sorted") << 9'999 << true;
        QTest::newRow("beyond the list") << 10'001 << true;
    }
    void choosingARowGoesToItsEvent() {
        QFETCH(int, number);
        QFETCH(bool, sorted);
        if (!many_) {
            many_ = std::make_unique<TableWindow>();
            many_->openWithoutTimeFilters(moreEventsThanTheList());
            many_->process();
        }
        TableWindow* w = many_.get();
        QCOMPARE(w->result().eventCount, 10'001);
        TableWindow::Shown expected;
        if (number < EventList::kCapacity) {
            w->reset();
            w->edit("eventNumberEdit")->setText(QString::number(number));
            QTest::mouseClick(w->button("goToEventButton"), Qt::LeftButton);
            QVERIFY(w->seams.messages.isEmpty());
            expected = w->now();
        } else {
            const ClosedEvent& e = w->result().events.back();
            const long double start = startInUnit(e, w->result().secondsPerUnit);
            const long double end = endInUnit(e, w->result().secondsPerUnit);
            const long double d = end - start;
            expected = {double(start - 0.1L * d),
                        double(end + 0.1L * d),
                        false,
                        QString::number(number),
                        false,
                        false};
        }
        w->reset();
        w->view()->sortByColumn(sorted ? EventTableModel::Duration : -1, Qt::DescendingOrder);
        const int row = w->rowOf(number);
        QVERIFY(row >= 0);
        w->view()->selectRow(row);
        QCOMPARE(w->now(), expected);
        QVERIFY(w->seams.messages.isEmpty());
    }

private:
    // One window over 10,001 events for every row of the table above.
    std::unique_ptr<TableWindow> many_;
};

QTEST_MAIN(EventTableTest)
#include "tst_eventtable.moc"
