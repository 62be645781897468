#include <QBuffer>
#include <QButtonGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "app/configurationwindow.h"
#include "app/mainwindow.h"
#include "app/programwindows.h"
#include "app/uiseams.h"
#include "app/usersettings.h"
#include "windowfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {

// The remembered values as the windows show them, by their key in the store.
using Shown = QMap<QString, QVariant>;

const QRect kChangedGeometry(40, 50, 600, 500);

// The program as it starts with a settings file: the windows take what the file remembers
// and show.
struct Session {
    ScriptedSeams seams;
    UserSettings settings;
    ProgramWindows windows;

    explicit Session(const QString& path)
        : settings(std::make_unique<QSettings>(path, QSettings::IniFormat)),
          windows(&seams, &settings) {
        windows.show();
        (void)QTest::qWaitForWindowExposed(windows.mainWindow());
        // The message about unusable settings comes after start-up.
        QTest::qWait(10);
    }

    MainWindow& main() const { return *windows.mainWindow(); }
    ConfigurationWindow& configuration() const { return *windows.configurationWindow(); }
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(main(), name); }
    QComboBox* list(const char* name) const { return control<QComboBox>(main(), name); }
    QButtonGroup* timeUnits() const { return control<QButtonGroup>(main(), "timeUnitButtons"); }

    Shown shown() const {
        return {
            {"Filters/overVoltage", edit("overVoltageEdit")->text()},
            {"Filters/underVoltage", edit("underVoltageEdit")->text()},
            {"Filters/voltageTimeFilter", edit("voltageTimeFilterEdit")->text()},
            {"Filters/voltageTimeFilterUnit", list("voltageTimeFilterUnitList")->currentText()},
            {"Filters/overTemperature", edit("overTemperatureEdit")->text()},
            {"Filters/underTemperature", edit("underTemperatureEdit")->text()},
            {"Filters/temperatureTimeFilter", edit("temperatureTimeFilterEdit")->text()},
            {"Filters/temperatureTimeFilterUnit",
             list("temperatureTimeFilterUnitList")->currentText()},
            {"MainWindow/timeUnit", timeUnits()->checkedButton()->text()},
            {"MainWindow/geometry", main().normalGeometry()},
            {"MainWindow/maximised", main().isMaximized()},
            {"Dialogs/folder", settings.folder().start()},
            {"Configuration/voltageInterval",
             configuration().findChild<QComboBox*>("voltageIntervalList")->currentText()},
            // By position: which list it shows follows the voltage choice.
            {"Configuration/temperatureInterval", configuration().temperatureInterval()},
        };
    }

    // Every remembered control away from its start value, as a user leaves them.
    void changeEverything(const QString& folder, bool maximised = false) {
        edit("overVoltageEdit")->setText("28,8");
        edit("underVoltageEdit")->setText("23,5");
        edit("voltageTimeFilterEdit")->setText("12");
        list("voltageTimeFilterUnitList")->setCurrentIndex(1);
        edit("overTemperatureEdit")->setText("45");
        edit("underTemperatureEdit")->setText("-10");
        edit("temperatureTimeFilterEdit")->setText("0,5");
        list("temperatureTimeFilterUnitList")->setCurrentIndex(2);
        timeUnits()->button(2)->setChecked(true);
        main().showNormal();
        main().setGeometry(kChangedGeometry);
        if (maximised)
            main().showMaximized();
        settings.folder().chosen(QDir(folder).filePath("meting.img"));
        configuration().chooseIntervals(0, configuration().temperatureInterval());
        configuration().chooseIntervals(configuration().voltageInterval(), 3);
    }

    // "Data openen" and "Data verwerken" with a small recording: the run unlocks the filters.
    void processRecording(const QString& folder) {
        ImageBuilder b;
        b.recording(2, 1).temperature(20).voltage(12.0, 100).voltage(13.0, 400);
        b.done();
        const QString path = QDir(folder).filePath("beeld.img");
        if (auto error = b.save(path))
            qFatal("%s", qPrintable(*error));
        seams.openAnswers << path;
        QTest::mouseClick(button(main(), "openImageButton"), Qt::LeftButton);
        QTest::mouseClick(button(main(), "processButton"), Qt::LeftButton);
    }
};

Shown changedValues(const QString& folder, bool maximised = false) {
    return {
        {"Filters/overVoltage", "28,8"},
        {"Filters/underVoltage", "23,5"},
        {"Filters/voltageTimeFilter", "12"},
        {"Filters/voltageTimeFilterUnit", "uren"},
        {"Filters/overTemperature", "45"},
        {"Filters/underTemperature", "-10"},
        {"Filters/temperatureTimeFilter", "0,5"},
        {"Filters/temperatureTimeFilterUnit", "dagen"},
        {"MainWindow/timeUnit", "Uren"},
        {"MainWindow/geometry", kChangedGeometry},
        {"MainWindow/maximised", maximised},
        {"Dialogs/folder", QDir::cleanPath(folder)},
        {"Configuration/voltageInterval", "16/sec"},
        {"Configuration/temperatureInterval", 3},
    };
}

// Where the main window stands when nothing usable was remembered of its place.
QRect startGeometry(bool maximised) {
    ScriptedSeams seams;
    MainWindow reference(&seams);
    RememberedChoices start;
    start.maximised = maximised;
    showMainWindow(reference, start);
    (void)QTest::qWaitForWindowExposed(&reference);
    return reference.normalGeometry();
}

// The start values of the window design, in a locale with a decimal comma; the window's
// normal place as it comes out with the window maximised or not.
Shown startValues(bool maximised = true) {
    return {
        {"Filters/overVoltage", "12,6"},
        {"Filters/underVoltage", "12"},
        {"Filters/voltageTimeFilter", "5"},
        {"Filters/voltageTimeFilterUnit", "minuten"},
        {"Filters/overTemperature", "35"},
        {"Filters/underTemperature", "0"},
        {"Filters/temperatureTimeFilter", "5"},
        {"Filters/temperatureTimeFilterUnit", "minuten"},
        {"MainWindow/timeUnit", "Minuten"},
        {"MainWindow/geometry", startGeometry(maximised)},
        {"MainWindow/maximised", true},
        {"Dialogs/folder", QString()},
        {"Configuration/voltageInterval", "1sec"},
        {"Configuration/temperatureInterval", 0},
    };
}

QString describe(const QVariant& v) {
    QString text;
    QDebug(&text) << v;
    return text;
}

void compareShown(const Shown& actual, const Shown& expected) {
    QCOMPARE(actual.keys(), expected.keys());
    for (auto it = expected.begin(); it != expected.end(); ++it)
        QVERIFY2(actual[it.key()] == it.value(),
                 qPrintable(QStringLiteral("%1 is %2, expected %3")
                                .arg(it.key(), describe(actual[it.key()]), describe(it.value()))));
}

// Replaces the text after "key=" in the key's group of an INI file, as a hand edit would.
void setRaw(const QString& path, const QString& groupAndKey, const QByteArray& raw) {
    const QString group = groupAndKey.section('/', 0, 0);
    const QByteArray key = groupAndKey.section('/', 1).toLatin1() + '=';
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    QString section;
    bool replaced = false;
    for (QByteArray& line : lines) {
        if (line.startsWith('['))
            section = QString::fromLatin1(line.mid(1, line.indexOf(']') - 1));
        else if (section == group && line.startsWith(key)) {
            line = key + raw;
            replaced = true;
        }
    }
    QVERIFY2(replaced, qPrintable(groupAndKey));
    const QDateTime written = QFileInfo(path).lastModified();
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(lines.join('\n'));
    // QSettings keeps what it read of a file while the file's size and time stay the same;
    // an edit of as many bytes within the clock's last tick would go unseen.
    QVERIFY(file.setFileTime(written.addSecs(1), QFileDevice::FileModificationTime));
}

// A session that changes everything and closes: the file then remembers changedValues().
void rememberChanges(const QString& path, const QString& folder) {
    Session first(path);
    first.changeEverything(folder);
    first.main().close();
}

QByteArray randomBytes(int size) {
    QByteArray bytes;
    quint32 x = 20240607;
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        bytes.append(char(x >> 16));
    }
    return bytes;
}

QByteArray pngPicture() {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

public:
    // Before anything can touch a settings file: never the user's own.
    static void initMain() { QStandardPaths::setTestModeEnabled(true); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }

    // Comes first: a closed main window ends the program's event loop, which would end a
    // context menu's too.
    void resetThroughTheContextMenu() {
        QTemporaryDir dir;
        Session s(dir.filePath("Veltrano.conf"));
        s.processRecording(dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(!s.main().isProcessing(), 30000);
        s.changeEverything(dir.path());

        // A right click on a caption of the group, which has no menu of its own.
        QWidget* group = control(s.main(), "filterGroup");
        QVERIFY(group->isEnabled());
        QLabel* caption = nullptr;
        for (QLabel* label : group->findChildren<QLabel*>())
            if (label->text() == "Overspanning")
                caption = label;
        QVERIFY(caption);
        QStringList offered;
        QTimer::singleShot(0, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            QAction* chosen = nullptr;
            for (QAction* action : menu->actions()) {
                offered << action->text();
                if (action->text() == kRestoreDefaults)
                    chosen = action;
            }
            if (chosen)
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
            else
                menu->close();
        });
        const QPoint spot = caption->rect().center();
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, spot, caption->mapToGlobal(spot));
        QApplication::sendEvent(caption, &rightClick);
        QCOMPARE(offered, QStringList{"Standaardwaarden herstellen"});

        // The window's place and the dialogs' folder are no controls: they stay.
        Shown expected = startValues();
        for (const char* key : {"MainWindow/geometry", "MainWindow/maximised", "Dialogs/folder"})
            expected[key] = changedValues(dir.path())[key];
        compareShown(s.shown(), expected);
    }

    void roundTrip_data() {
        QTest::addColumn<bool>("maximised");
        QTest::newRow("window in its normal state") << false;
        QTest::newRow("window maximised") << true;
    }

    void roundTrip() {
        QFETCH(bool, maximised);
        QTemporaryDir dir;
        const QString path = dir.filePath("Veltrano.conf");
        const Shown start = startValues();
        {
            Session first(path);
            first.changeEverything(dir.path(), maximised);
            compareShown(first.shown(), changedValues(dir.path(), maximised));
            for (auto it = start.begin(); it != start.end(); ++it)
                if (it.key() != "MainWindow/maximised" || !maximised)
                    QVERIFY2(first.shown()[it.key()] != it.value(), qPrintable(it.key()));
            first.main().close();
        }
        Session second(path);
        compareShown(second.shown(), changedValues(dir.path(), maximised));
        QCOMPARE(second.settings.stored().unusable, 0);
        QCOMPARE(second.seams.messages, QStringList());
    }

    void storedWhenARunStarts() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Veltrano.conf");
        Session s(path);
        // Reading writes nothing.
        QVERIFY(!QFile::exists(path));
        s.edit("overVoltageEdit")->setText("28,8");
        s.processRecording(dir.path());
        QVERIFY(s.main().isProcessing());
        QCOMPARE(QSettings(path, QSettings::IniFormat).value("Filters/overVoltage"),
                 QVariant("28,8"));
        QTRY_VERIFY_WITH_TIMEOUT(!s.main().isProcessing(), 30000);
    }

    // One stored value that cannot be used: that control starts with its start value, every
    // other one with what was remembered, and nothing is said.
    void oneUnusableValue_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("raw"); // as it stands in the file

        QTest::newRow("text of a wrong type")
            << "Filters/overVoltage" << QByteArray("@Rect(1 2 3 4)");
        QTest::newRow("point where the separator is a comma")
            << "Filters/underVoltage" << QByteArray("23.5");
        QTest::newRow("minus inside a number") << "Filters/overTemperature" << QByteArray("4-5");
        QTest::newRow("two separators") << "Filters/underTemperature" << QByteArray("\"1,2,3\"");
        QTest::newRow("letters") << "Filters/voltageTimeFilter" << QByteArray("vijf");
        QTest::newRow("longer than an edit holds")
            << "Filters/temperatureTimeFilter" << QByteArray(40000, '1');
        QTest::newRow("unit not a number") << "Filters/voltageTimeFilterUnit" << QByteArray("uren");
        QTest::newRow("unit past its list")
            << "Filters/temperatureTimeFilterUnit" << QByteArray("3");
        QTest::newRow("time unit before its list") << "MainWindow/timeUnit" << QByteArray("-1");
        QTest::newRow("time unit past its list") << "MainWindow/timeUnit" << QByteArray("5");
        QTest::newRow("voltage interval past its list")
            << "Configuration/voltageInterval" << QByteArray("8");
        QTest::newRow("temperature interval past its list")
            << "Configuration/temperatureInterval" << QByteArray("6");
        QTest::newRow("interval of a wrong type")
            << "Configuration/voltageInterval" << QByteArray("@Rect(0 0 1 1)");
        QTest::newRow("maximised neither true nor false")
            << "MainWindow/maximised" << QByteArray("misschien");
        QTest::newRow("geometry not a rectangle") << "MainWindow/geometry" << QByteArray("groot");
        QTest::newRow("geometry off every screen")
            << "MainWindow/geometry" << QByteArray("@Rect(5000 5000 600 500)");
        QTest::newRow("geometry without area")
            << "MainWindow/geometry" << QByteArray("@Rect(40 50 0 500)");
        QTest::newRow("geometry at the end of the number range")
            << "MainWindow/geometry" << QByteArray("@Rect(2147483647 2147483647 2147483647 5)");
        QTest::newRow("folder that is gone")
            << "Dialogs/folder" << QByteArray("/nonexistent/veltrano/metingen");
        QTest::newRow("relative folder") << "Dialogs/folder" << QByteArray(".");
        QTest::newRow("folder of a wrong type") << "Dialogs/folder" << QByteArray("@Rect(0 0 1 1)");
    }

    void oneUnusableValue() {
        QFETCH(QString, key);
        QFETCH(QByteArray, raw);
        QTemporaryDir dir;
        const QString path = dir.filePath("Veltrano.conf");
        rememberChanges(path, dir.path());
        setRaw(path, key, raw);

        Session s(path);
        Shown expected = changedValues(dir.path());
        expected[key] = startValues(false)[key];
        compareShown(s.shown(), expected);
        QCOMPARE(s.settings.stored().unusable, 1);
        QCOMPARE(s.seams.messages, QStringList());
    }

    // Nothing the file holds can be used: every control starts with its start value and the
    // user is told once. Closing writes a usable file where that can be done.
    void nothingUsable_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("folderInItsPlace");

        QTest::newRow("random bytes") << randomBytes(4096) << false;
        QTest::newRow("a picture") << pngPicture() << false;
        QTest::newRow("every value unusable")
            << QByteArray("[Configuration]\nvoltageInterval=8\ntemperatureInterval=x\n"
                          "[Dialogs]\nfolder=/nonexistent/veltrano\n"
                          "[Filters]\noverVoltage=12.6\nunderVoltage=a\nvoltageTimeFilter=1-\n"
                          "voltageTimeFilterUnit=-1\noverTemperature=@Rect(0 0 1 1)\n"
                          "underTemperature=\" 1\"\ntemperatureTimeFilter=+5\n"
                          "temperatureTimeFilterUnit=3\n"
                          "[MainWindow]\ngeometry=@Rect(-9000 0 100 100)\nmaximised=1\n"
                          "timeUnit=@Rect(0 0 1 1)\n")
            << false;
        QTest::newRow("a folder where the file belongs") << QByteArray() << true;
    }

    void nothingUsable() {
        QFETCH(QByteArray, content);
        QFETCH(bool, folderInItsPlace);
        QTemporaryDir dir;
        const QString path = dir.filePath("Veltrano.conf");
        if (folderInItsPlace) {
            QVERIFY(QDir().mkdir(path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        {
            Session s(path);
            compareShown(s.shown(), startValues());
            QCOMPARE(s.seams.messages, QStringList{s.settings.unusableMessage()});
            QVERIFY(s.seams.messages.first().contains(QDir::toNativeSeparators(path)));
            s.changeEverything(dir.path());
            s.main().close();
        }
        Session next(path);
        if (folderInItsPlace) {
            compareShown(next.shown(), startValues());
            QCOMPARE(next.seams.messages.size(), qsizetype(1));
        } else {
            compareShown(next.shown(), changedValues(dir.path()));
            QCOMPARE(next.seams.messages, QStringList());
            // Written anew: nothing of the old content is left.
            QCOMPARE(QSettings(path, QSettings::IniFormat).childGroups(),
                     QStringList({"Configuration", "Dialogs", "Filters", "MainWindow"}));
        }
    }

    // Without remembered values the windows start exactly as they always did.
    void freshSettingsGiveTheStartValues_data() {
        QTest::addColumn<bool>("emptyFile");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("overVoltage");
        const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
        QTest::newRow("no file") << false << dutch << "12,6";
        QTest::newRow("empty file") << true << dutch << "12,6";
        QTest::newRow("no file, decimal point")
            << false << QLocale(QLocale::English, QLocale::UnitedStates) << "12.6";
    }

    void freshSettingsGiveTheStartValues() {
        QFETCH(bool, emptyFile);
        QFETCH(QLocale, locale);
        QFETCH(QString, overVoltage);
        QTemporaryDir dir;
        const QString path = dir.filePath("Veltrano.conf");
        if (emptyFile)
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        QLocale::setDefault(locale);
        const auto restoreLocale =
            qScopeGuard([] { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); });
        Session s(path);
        Shown expected = startValues();
        expected["Filters/overVoltage"] = overVoltage;
        compareShown(s.shown(), expected);
        QCOMPARE(s.seams.messages, QStringList());
        QCOMPARE(s.settings.stored().usable + s.settings.stored().unusable, 0);
        QCOMPARE(QFile::exists(path), emptyFile);

        // The start values, remembered, come back as they are.
        s.main().close();
        Session next(path);
        compareShown(next.shown(), expected);
        QCOMPARE(next.settings.stored().unusable, 0);
    }

    // A limit text is taken when the key checks of this start would let it be typed.
    void separatorOfThisStart() {
        QTemporaryDir dir;
        QSettings store(dir.filePath("Veltrano.conf"), QSettings::IniFormat);
        RememberedChoices remembered;
        remembered.filters.filterText(FilterField::OverVoltage) = "28,8";
        remembered.filters.filterText(FilterField::OverTemperature) = "45";
        writeChoices(store, remembered);
        const StoredChoices comma = readChoices(store, QLocale(QLocale::Dutch));
        QCOMPARE(comma.choices.filters.filterText(FilterField::OverVoltage), QString("28,8"));
        const StoredChoices point = readChoices(store, QLocale(QLocale::English));
        QCOMPARE(point.choices.filters.filterText(FilterField::OverVoltage), QString("12.6"));
        QCOMPARE(point.choices.filters.filterText(FilterField::OverTemperature), QString("45"));
    }

    // A window partly off the screens comes back wholly on the one it overlaps most.
    void windowPlacedOnTheScreen_data() {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("placed");
        const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint o = free.topLeft();
        QTest::newRow("inside") << QRect(o + QPoint(10, 20), QSize(300, 200))
                                << QRect(o + QPoint(10, 20), QSize(300, 200));
        QTest::newRow("over the right edge")
            << QRect(free.topRight() + QPoint(-99, 20), QSize(300, 200))
            << QRect(free.topRight() + QPoint(-299, 20), QSize(300, 200));
        QTest::newRow("above the top") << QRect(o + QPoint(10, -150), QSize(300, 200))
                                       << QRect(o + QPoint(10, 0), QSize(300, 200));
        QTest::newRow("larger than the screen")
            << QRect(o - QPoint(50, 50), free.size() * 2) << free;
        QTest::newRow("just beside the screen")
            << QRect(free.topRight() + QPoint(1, 0), QSize(300, 200)) << QRect();
    }

    void windowPlacedOnTheScreen() {
        QFETCH(QRect, stored);
        QFETCH(QRect, placed);
        QTemporaryDir dir;
        QSettings store(dir.filePath("Veltrano.conf"), QSettings::IniFormat);
        store.setValue("MainWindow/geometry", stored);
        QCOMPARE(readChoices(store, QLocale()).choices.normalGeometry, placed);
    }

    // The folder every file dialog starts in.
    void dialogFolder() {
        QTemporaryDir dir;
        const QString first = QDir(dir.path()).filePath("eerste");
        const QString second = QDir(dir.path()).filePath("tweede");
        QVERIFY(QDir().mkdir(first) && QDir().mkdir(second));
        DialogFolder folder;
        QCOMPARE(folder.start(), QString());
        folder.chosen(QDir(first).filePath("meting.img"));
        QCOMPARE(folder.start(), first);
        folder.chosen(QString()); // cancelled
        QCOMPARE(folder.start(), first);
        folder.chosen(QDir(second).filePath("rapport.pdf"));
        QCOMPARE(folder.start(), second);
        QVERIFY(QDir(second).removeRecursively());
        QCOMPARE(folder.start(), QString());
        folder.chosen("relatief.img");
        QCOMPARE(folder.start(), QDir::currentPath());
    }

    // The program's own store is the user's native settings file, here under the test
    // location.
    void userStore() {
        const std::unique_ptr<QSettings> store = UserSettings::userStore();
        QCOMPARE(store->format(), QSettings::NativeFormat);
        QCOMPARE(store->scope(), QSettings::UserScope);
        QCOMPARE(store->organizationName(), QString("Veltrano"));
        QCOMPARE(store->applicationName(), QString("Veltrano"));
        QVERIFY(store->fileName().startsWith(
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));
        QVERIFY(!store->fileName().startsWith(QDir::homePath() + "/.config/"));
    }
};

QTEST_MAIN(TestSettings)
#include "scriptedseams.h"
#include "tst_settings.moc"
