
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "app/configurationwindow.h"
#include "app/donotunplugnotice.h"

using namespace veltrano;

namespace {

template <class T> T* part(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}
QTableWidget* grid(const ConfigurationWindow& w) {
    return part<QTableWidget>(w, "durationTable");
}
QComboBox* voltageList(const ConfigurationWindow& w) {
    return part<QComboBox>(w, "voltageIntervalList");
}
QComboBox* temperatureList(const ConfigurationWindow& w) {
    return part<QComboBox>(w, "temperatureIntervalList");
}
QButtonGroup* unitButtons(const ConfigurationWindow& w) {
    return part<QButtonGroup>(w, "unitButtons");
}
QGroupBox* unitGroup(const ConfigurationWindow& w) {
    return part<QGroupBox>(w, "unitGroup");
}
QPushButton* sendButton(const ConfigurationWindow& w) {
    return part<QPushButton>(w, "sendIntervalsButton");
}
QLabel* temperatureHeading(const ConfigurationWindow& w) {
    return part<QLabel>(w, "temperatureHeading");
}
QLabel* voltageHeading(const ConfigurationWindow& w) {
    return part<QLabel>(w, "voltageHeading");
}
QLabel* voltageLabel(const ConfigurationWindow& w) {
    return part<QLabel>(w, "voltageIntervalLabel");
}
QLabel* temperatureLabel(const ConfigurationWindow& w) {
    return part<QLabel>(w, "temperatureIntervalLabel");
}

using Cell = std::pair<int, int>; // grid row, grid column

QString cellText(const ConfigurationWindow& form, int row, int column) {
    return grid(form)->item(row, column)->text();
}

QList<Cell> greenCells(const ConfigurationWindow& form) {
    const QImage image = grid(form)->viewport()->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    QList<Cell> green;
    for (int r = 0; r < kDurationGridRows; ++r) {
        for (int c = 0; c < kDurationGridColumns; ++c) {
            const QRect rect = grid(form)->visualRect(grid(form)->model()->index(r, c));
            // Bottom right of the cell: clear of the text, inside the grid lines.
            const QPoint probe = (rect.bottomRight() - QPoint(3, 3)) * ratio;
            if (image.pixelColor(probe) == QColor(0, 128, 0))
                green << Cell{r, c};
        }
    }
    return green;
}

// Clicks the radio indicator: the button only takes clicks on its indicator and text.
void chooseUnit(ConfigurationWindow& form, int unit) {
    QAbstractButton* button = unitButtons(form)->button(unit);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void showAndWait(QWidget& window) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

} // namespace

class TestConfigurationWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }

    void designTexts() {
        ConfigurationWindow form;
        QCOMPARE(form.windowTitle(), QString("Configureren"));
        QCOMPARE(temperatureHeading(form)->text(), QString(" Temperatuur meetintervallen"));
        QCOMPARE(voltageHeading(form)->text(), QString(" Spanning meetintervallen"));
        QCOMPARE(voltageLabel(form)->text(), QString(" Meetinterval spanning"));
        QCOMPARE(temperatureLabel(form)->text(), QString(" Meetinterval temperatuur"));
        QCOMPARE(sendButton(form)->text(), QString("Meetintervallen instellen"));
        QCOMPARE(unitGroup(form)->title(), QString("Tijdeenheid"));
        QStringList units;
        for (auto* b : unitButtons(form)->buttons())
            units << b->text();
        QCOMPARE(units, QStringList({"seconden", "minuten", "uren", "dagen", "weken", "jaren"}));
        QCOMPARE(unitButtons(form)->checkedId(), 0);

        QStringList voltages;
        for (int i = 0; i < voltageList(form)->count(); ++i)
            voltages << voltageList(form)->itemText(i);
        QCOMPARE(voltages, QStringList({"16/sec", "1sec", "5sec", "10sec", "20sec", "30sec", "1min",
                                        "5min"}));
        QCOMPARE(voltageList(form)->currentText(), QString("1sec"));
        QCOMPARE(temperatureList(form)->count(), 6);
        QCOMPARE(temperatureList(form)->currentText(), QString("30sec"));

        QCOMPARE(grid(form)->rowCount(), 9);
        QCOMPARE(grid(form)->columnCount(), 7);
        QStringList rowHeaders, columnHeaders;
        for (int i = 0; i < 9; ++i)
            rowHeaders << cellText(form, i, 0);
        for (int i = 0; i < 7; ++i)
            columnHeaders << cellText(form, 0, i);
        QCOMPARE(rowHeaders, QStringList({"", "16/sec", "1 sec", "5 sec ", "10 sec", "20 sec",
                                          "30 sec", "1 min", "5 min"}));
        QCOMPARE(columnHeaders,
                 QStringList({"", "30 sec", "1 min", "5 min", "10 min", "20 min", "30 min"}));
        QVERIFY(grid(form)->showGrid());

        // The table of the start unit arrives from its task.
        QCOMPARE(form.shownTableUnit(), 0);
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
        ConfigurationWindow form;
        showAndWait(form);
        QCOMPARE(form.shownTableUnit(), 0);
        chooseUnit(form, unit);
        QCOMPARE(form.shownTableUnit(), unit);
        QCOMPARE(cellText(form, 2, 1), oneSecondHalfMinute);
        QCOMPARE(cellText(form, 1, 1), fastHalfMinute);
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
        ConfigurationWindow form;
        temperatureList(form)->setCurrentIndex(temperature);
        for (int v : voltages)
            voltageList(form)->setCurrentIndex(v);
        QCOMPARE(temperatureList(form)->count(), 6);
        QCOMPARE(temperatureList(form)->currentIndex(), temperature);
        QCOMPARE(temperatureList(form)->currentText(), shown);
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
        ConfigurationWindow form;
        showAndWait(form);
        QCOMPARE(greenCells(form), QList<Cell>({{2, 1}}));
        temperatureList(form)->setCurrentIndex(temperature);
        voltageList(form)->setCurrentIndex(voltage);
        QCOMPARE(form.shownTableUnit(), 0);
        QCOMPARE(greenCells(form), QList<Cell>({{voltage + 1, temperature + 1}}));
    }

    // Clicks, double clicks and keys on the grid change nothing.
    void gridRefusesSelection() {
        ConfigurationWindow form;
        showAndWait(form);
        QCOMPARE(form.shownTableUnit(), 0);
        QWidget* viewport = grid(form)->viewport();
        for (const Cell& cell : {Cell{3, 4}, Cell{0, 0}, Cell{2, 1}}) {
            const QModelIndex index = grid(form)->model()->index(cell.first, cell.second);
            const QPoint at = grid(form)->visualRect(index).center();
            QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
            QTest::keyClick(grid(form), Qt::Key_Down);
            QTest::keyClick(grid(form), Qt::Key_F2);
        }
        QVERIFY(grid(form)->selectionModel()->selectedIndexes().isEmpty());
        QVERIFY(!grid(form)->findChild<QLineEdit*>());
        QCOMPARE(cellText(form, 3, 4), QString("41.596.410"));
        QCOMPARE(voltageList(form)->currentIndex(), 1);
        QCOMPARE(temperatureList(form)->currentIndex(), 0);
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
        ConfigurationWindow form;
        showAndWait(form);
        QSignalSpy spy(&form, &ConfigurationWindow::intervalSettingRequested);
        temperatureList(form)->setCurrentIndex(temperature);
        voltageList(form)->setCurrentIndex(voltage);
        QTest::mouseClick(sendButton(form), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0), QVariantList({voltage, temperature}));
        QVERIFY(form.isVisible()); // closing is the sender's business
    }

    void closeHidesAndKeepsChoices() {
        QPointer<ConfigurationWindow> form = new ConfigurationWindow;
        showAndWait(*form);
        chooseUnit(*form, 4);
        temperatureList(*form)->setCurrentIndex(3);
        voltageList(*form)->setCurrentIndex(0);
        QCOMPARE(form->shownTableUnit(), 4);
        QVERIFY(form->close());
        QVERIFY(form);
        QVERIFY(form->isHidden());
        showAndWait(*form);
        QCOMPARE(unitButtons(*form)->checkedId(), 4);
        QCOMPARE(voltageList(*form)->currentIndex(), 0);
        QCOMPARE(temperatureList(*form)->currentText(), QString("0,09375/sec"));
        QCOMPARE(cellText(*form, 8, 6), QString("3.567"));
        QCOMPARE(greenCells(*form), QList<Cell>({{1, 4}}));
        delete form;
    }

    void notice() {
        DoNotUnplugNotice notice;
        QCOMPARE(notice.windowTitle(), QString("Veltrano"));
        QCOMPARE(part<QLabel>(notice, "message")->text(),
                 QString("Configureren gestart. Koppel de QLO niet los"));
        QPushButton* ok = part<QPushButton>(notice, "okButton");
        QCOMPARE(ok->text(), QString("Ok"));
        showAndWait(notice);
        QCOMPARE(notice.minimumSize(), notice.maximumSize());
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(notice.isHidden());
        showAndWait(notice); // shown again by the next interval setting
        QVERIFY(notice.isVisible());
    }
};

QTEST_MAIN(TestConfigurationWindow)
#include "tst_configurationwindow.moc"
