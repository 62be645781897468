#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/configurationwindow.h"
#include "app/donotunplugnotice.h"
#include "app/logoview.h"
#include "app/mainwindow.h"
#include "app/programwindows.h"
#include "app/uiseams.h"
#include "windowfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

// Start and end of the program with its three windows.
class TestProgramWindows : public QObject {
    Q_OBJECT

private slots:
    void startsWithTheOtherWindowsHidden() {
        ScriptedSeams seams;
        ProgramWindows windows(&seams);
        QVERIFY(windows.configurationWindow()->isHidden());
        QVERIFY(windows.notice()->isHidden());
        QCOMPARE(windows.configurationWindow()->windowTitle(), QString("Configureren"));
        QCOMPARE(windows.notice()->windowTitle(), QString("Veltrano"));
        QCOMPARE(windows.mainWindow()->windowTitle(), QString("Veltrano"));
        QCOMPARE(windows.notice()->findChild<QLabel*>("message")->text(),
                 QString("Configureren gestart. Koppel de QLO niet los"));

        windows.mainWindow()->findChild<LinkAdapter*>()->showNotice();
        QVERIFY(windows.notice()->isVisible());
        QTest::mouseClick(windows.notice()->findChild<QPushButton*>("okButton"), Qt::LeftButton);
        QVERIFY(!windows.notice()->isVisible());
    }

    // "Configuratiescherm" shows the one configuration window and does not wait for it.
    void configurationWindowIsShownWithoutWaiting() {
        ScriptedSeams seams;
        ProgramWindows windows(&seams);
        windows.mainWindow()->show();
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(button(*windows.mainWindow(), "configurationButton"), Qt::LeftButton);
            QVERIFY(windows.configurationWindow()->isVisible());
            QVERIFY(!QApplication::activeModalWidget());
        }
        QCOMPARE(windows.mainWindow()->configurationWindow(),
                 static_cast<QWidget*>(windows.configurationWindow()));
        QCOMPARE(QApplication::topLevelWidgets().count(windows.configurationWindow()),
                 qsizetype(1));
    }

    void logoOpensTheAboutPage() {
        ScriptedSeams seams;
        ProgramWindows windows(&seams);
        LogoView* logo = control<LogoView>(*windows.mainWindow(), "logo");
        QVERIFY(logo->cursor().shape() == Qt::PointingHandCursor);
        QTest::mouseClick(logo, Qt::LeftButton);
        QCOMPARE(seams.openedUrls.size(), qsizetype(1));
        const QUrl url = seams.openedUrls.first();
        QVERIFY(url.isLocalFile());
        QFile page(url.toLocalFile());
        QVERIFY(page.open(QIODevice::ReadOnly));
        QVERIFY(page.readAll().contains("Veltrano"));
    }

    // Closing the main window ends the program while the other two are open. Runs the
    // real event loop, so it comes last.
    void closingTheMainWindowEndsTheProgram() {
        ScriptedSeams seams;
        ProgramWindows windows(&seams);
        windows.mainWindow()->show();
        windows.configurationWindow()->show();
        windows.notice()->show();
        QTimer::singleShot(0, windows.mainWindow(), [&] { windows.mainWindow()->close(); });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        watchdog.start(10000);
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(TestProgramWindows)
#include "scriptedseams.h"
#include "tst_programwindows.moc"
