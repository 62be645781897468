#include <atomic>

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QThreadPool>

#include "app/Unit2.h"
#include "app/Unit4.h"

using namespace veltrano;

namespace {

using Cell = std::pair<int, int>; // grid row, grid column

QString cellText(const TForm2& form, int row, int column) {
    return form.StringGrid1->item(row, column)->text();
}

QList<Cell> greenCells(const TForm2& form) {
    const QImage image = form.StringGrid1->viewport()->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    QList<Cell> green;
    for (int r = 0; r < kDurationGridRows; ++r) {
        for (int c = 0; c < kDurationGridColumns; ++c) {
            const QRect rect = form.StringGrid1->visualRect(form.StringGrid1->model()->index(r, c));
            // Bottom right of the cell: clear of the text, inside the grid lines.
            const QPoint probe = (rect.bottomRight() - QPoint(3, 3)) * ratio;
            if (image.pixelColor(probe) == QColor(0, 128, 0))
                green << Cell{r, c};
        }
    }
    return green;
}

// Clicks the radio indicator: the button only takes clicks on its indicator and text.
void chooseUnit(TForm2& form, int unit) {
    QAbstractButton* button = form.RadioGroup1Items->button(unit);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void showAndWait(QWidget& window) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

} // namespace

class TestUnit2 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }

    void designTexts() {
        TForm2 form;
        QCOMPARE(form.windowTitle(), QString("Configureren"));
        QCOMPARE(form.TemperatuurLabel->text(), QString(" Temperatuur meetintervallen"));
        QCOMPARE(form.SpanningLabel->text(), QString(" Spanning meetintervallen"));
        QCOMPARE(form.MeetintervalSpanningLabel->text(), QString(" Meetinterval spanning"));
        QCOMPARE(form.MeetintervalTemperatuurLabel->text(), QString(" Meetinterval temperatuur"));
        QCOMPARE(form.Buttonmeetintervallen->text(), QString("Meetintervallen instellen"));
        QCOMPARE(form.RadioGroup1->title(), QString("Tijdeenheid"));
        QStringList units;
        for (auto* b : form.RadioGroup1Items->buttons())
            units << b->text();
        QCOMPARE(units, QStringList({"seconden", "minuten", "uren", "dagen", "weken", "jaren"}));
        QCOMPARE(form.RadioGroup1Items->checkedId(), 0);

        QStringList voltages;
        for (int i = 0; i < form.ComboBox1->count(); ++i)
            voltages << form.ComboBox1->itemText(i);
        QCOMPARE(voltages, QStringList({"16/sec", "1sec", "5sec", "10sec", "20sec", "30sec", "1min",
                                        "5min"}));
        QCOMPARE(form.ComboBox1->currentText(), QString("1sec"));
        QCOMPARE(form.ComboBox2->count(), 6);
        QCOMPARE(form.ComboBox2->currentText(), QString("30sec"));

        QCOMPARE(form.StringGrid1->rowCount(), 9);
        QCOMPARE(form.StringGrid1->columnCount(), 7);
        QStringList rowHeaders, columnHeaders;
        for (int i = 0; i < 9; ++i)
            rowHeaders << cellText(form, i, 0);
        for (int i = 0; i < 7; ++i)
            columnHeaders << cellText(form, 0, i);
        QCOMPARE(rowHeaders, QStringList({"", "16/sec", "1 sec", "5 sec ", "10 sec", "20 sec",
                                          "30 sec", "1 min", "5 min"}));
        QCOMPARE(columnHeaders,
                 QStringList({"", "30 sec", "1 min", "5 min", "10 min", "20 min", "30 min"}));
        QVERIFY(form.StringGrid1->showGrid());

        // The table of the start unit arrives from its task.
        QTRY_COMPARE(form.shownTableUnit(), 0);
        QCOMPARE(cellText(form, 2, 1), QString("8.118.008"));
        QCOMPARE(cellText(form, 8, 6), QString("2.157.070.800"));
    }

    void unitChoiceRecomputes_data() {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("oneSecondHalfMinute");
        QTest::addColumn<QString>("fastHalfMinute");
        QTest::newRow("minuten") << 1 << "135.300"
                                 << "8.456";
        QTest::newRow("dagen") << 3 << "94"
                               << "6";
        QTest::newRow("jaren") << 5 << "0"
                               << "0";
    }
    void unitChoiceRecomputes() {
        QFETCH(int, unit);
        QFETCH(QString, oneSecondHalfMinute);
        QFETCH(QString, fastHalfMinute);
        TForm2 form;
        showAndWait(form);
        QTRY_COMPARE(form.shownTableUnit(), 0);
        chooseUnit(form, unit);
        QTRY_COMPARE(form.shownTableUnit(), unit);
        QCOMPARE(cellText(form, 2, 1), oneSecondHalfMinute);
        QCOMPARE(cellText(form, 1, 1), fastHalfMinute);
    }

    // An older task that finishes after a newer one must not overwrite the newer table.
    void newestUnitWins() {
        QSemaphore releaseFirst;
        std::atomic<int> calls{0};
        auto firstIsSlow = [&](int unit, const QLocale& locale) {
            if (calls++ == 0)
                releaseFirst.acquire();
            return durationCellTexts(unit, locale);
        };
        auto cleanup = qScopeGuard([&] {
            releaseFirst.release();
            QThreadPool::globalInstance()->waitForDone();
        });

        TForm2 form(nullptr, firstIsSlow);
        showAndWait(form);
        chooseUnit(form, 2);
        chooseUnit(form, 3);
        QTRY_COMPARE(form.shownTableUnit(), 3);
        QCOMPARE(cellText(form, 2, 1), QString("94"));

        QSignalSpy shown(&form, &TForm2::durationTableShown);
        releaseFirst.release();
        QThreadPool::globalInstance()->waitForDone();
        QTest::qWait(50); // hand the older result to the window
        QCOMPARE(shown.count(), 0);
        QCOMPARE(form.shownTableUnit(), 3);
        QCOMPARE(cellText(form, 2, 1), QString("94"));
        QCOMPARE(calls.load(), 3);
    }

    void fastListKeepsIndex_data() {
        QTest::addColumn<int>("temperature");
        QTest::addColumn<QList<int>>("voltages");
        QTest::addColumn<QString>("shown");
        QTest::newRow("to 16/sec") << 3 << QList<int>{0} << "0,09375/sec";
        QTest::newRow("point in third fast label") << 2 << QList<int>{0} << "0.1875/sec";
        QTest::newRow("fast and back") << 5 << QList<int>{0, 7} << "30min";
        QTest::newRow("normal to normal") << 4 << QList<int>{3} << "20min";
        QTest::newRow("fast from start index") << 0 << QList<int>{6, 0} << "1,875/sec";
    }
    void fastListKeepsIndex() {
        QFETCH(int, temperature);
        QFETCH(QList<int>, voltages);
        QFETCH(QString, shown);
        TForm2 form;
        form.ComboBox2->setCurrentIndex(temperature);
        for (int v : voltages)
            form.ComboBox1->setCurrentIndex(v);
        QCOMPARE(form.ComboBox2->count(), 6);
        QCOMPARE(form.ComboBox2->currentIndex(), temperature);
        QCOMPARE(form.ComboBox2->currentText(), shown);
    }

    void highlightFollowsBothLists_data() {
        QTest::addColumn<int>("voltage");
        QTest::addColumn<int>("temperature");
        QTest::newRow("start choice") << 1 << 0;
        QTest::newRow("16/sec") << 0 << 0;
        QTest::newRow("16/sec, 30min") << 0 << 5;
        QTest::newRow("5min, 10min") << 7 << 3;
        QTest::newRow("20sec, 30min") << 4 << 5;
    }
    void highlightFollowsBothLists() {
        QFETCH(int, voltage);
        QFETCH(int, temperature);
        TForm2 form;
        showAndWait(form);
        QCOMPARE(greenCells(form), QList<Cell>({{2, 1}}));
        form.ComboBox2->setCurrentIndex(temperature);
        form.ComboBox1->setCurrentIndex(voltage);
        QTRY_COMPARE(form.shownTableUnit(), 0);
        QCOMPARE(greenCells(form), QList<Cell>({{voltage + 1, temperature + 1}}));
    }

    // Clicks, double clicks and keys on the grid change nothing.
    void gridRefusesSelection() {
        TForm2 form;
        showAndWait(form);
        QTRY_COMPARE(form.shownTableUnit(), 0);
        QWidget* viewport = form.StringGrid1->viewport();
        for (const Cell& cell : {Cell{3, 4}, Cell{0, 0}, Cell{2, 1}}) {
            const QModelIndex index = form.StringGrid1->model()->index(cell.first, cell.second);
            const QPoint at = form.StringGrid1->visualRect(index).center();
            QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
            QTest::keyClick(form.StringGrid1, Qt::Key_Down);
            QTest::keyClick(form.StringGrid1, Qt::Key_F2);
        }
        QVERIFY(form.StringGrid1->selectionModel()->selectedIndexes().isEmpty());
        QVERIFY(!form.StringGrid1->findChild<QLineEdit*>());
        QCOMPARE(cellText(form, 3, 4), QString("41.596.410"));
        QCOMPARE(form.ComboBox1->currentIndex(), 1);
        QCOMPARE(form.ComboBox2->currentIndex(), 0);
        QCOMPARE(greenCells(form), QList<Cell>({{2, 1}}));
    }

    void sendingNamesBothIndexes_data() {
        QTest::addColumn<int>("voltage");
        QTest::addColumn<int>("temperature");
        QTest::newRow("start choice") << 1 << 0;
        QTest::newRow("5min, 30min") << 7 << 5;
        QTest::newRow("16/sec, 10min") << 0 << 3;
    }
    void sendingNamesBothIndexes() {
        QFETCH(int, voltage);
        QFETCH(int, temperature);
        TForm2 form;
        showAndWait(form);
        QSignalSpy spy(&form, &TForm2::intervalSettingRequested);
        form.ComboBox2->setCurrentIndex(temperature);
        form.ComboBox1->setCurrentIndex(voltage);
        QTest::mouseClick(form.Buttonmeetintervallen, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0), QVariantList({voltage, temperature}));
        QVERIFY(form.isVisible()); // closing is the sender's business
    }

    void closeHidesAndKeepsChoices() {
        QPointer<TForm2> form = new TForm2;
        showAndWait(*form);
        chooseUnit(*form, 4);
        form->ComboBox2->setCurrentIndex(3);
        form->ComboBox1->setCurrentIndex(0);
        QTRY_COMPARE(form->shownTableUnit(), 4);
        QVERIFY(form->close());
        QVERIFY(form);
        QVERIFY(form->isHidden());
        showAndWait(*form);
        QCOMPARE(form->RadioGroup1Items->checkedId(), 4);
        QCOMPARE(form->ComboBox1->currentIndex(), 0);
        QCOMPARE(form->ComboBox2->currentText(), QString("0,09375/sec"));
        QCOMPARE(cellText(*form, 8, 6), QString("3.567"));
        QCOMPARE(greenCells(*form), QList<Cell>({{1, 4}}));
        delete form;
    }

    void noticeWindow() {
        TForm4 notice;
        QCOMPARE(notice.windowTitle(), QString("Veltrano"));
        QCOMPARE(notice.Label1->text(), QString("Configureren gestart. Koppel de QLO niet los"));
        QCOMPARE(notice.Button1->text(), QString("Ok"));
        showAndWait(notice);
        QCOMPARE(notice.minimumSize(), notice.maximumSize());
        QTest::mouseClick(notice.Button1, Qt::LeftButton);
        QVERIFY(notice.isHidden());
        showAndWait(notice); // shown again by the next interval setting
        QVERIFY(notice.isVisible());
    }
};

QTEST_MAIN(TestUnit2)
#include "tst_unit2.moc"
