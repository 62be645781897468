#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit4.h"
#include "app/logoview.h"
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
        QVERIFY(windows.Form2()->isHidden());
        QVERIFY(windows.Form4()->isHidden());
        QCOMPARE(windows.Form2()->windowTitle(), QString("Configureren"));
        QCOMPARE(windows.Form4()->windowTitle(), QString("Veltrano"));
        QCOMPARE(windows.Form1()->windowTitle(), QString("Veltrano"));
        QCOMPARE(windows.Form4()->Label1->text(),
                 QString("Configureren gestart. Koppel de QLO niet los"));

        windows.Form1()->findChild<LinkAdapter*>()->showNotice();
        QVERIFY(windows.Form4()->isVisible());
        QTest::mouseClick(windows.Form4()->Button1, Qt::LeftButton);
        QVERIFY(!windows.Form4()->isVisible());
    }

    // "Configuratiescherm" shows the one configuration window and does not wait for it.
    void configurationWindowIsShownWithoutWaiting() {
        ScriptedSeams seams;
        ProgramWindows windows(&seams);
        windows.Form1()->show();
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(button(*windows.Form1(), "Meetintervaltabelbutton"), Qt::LeftButton);
            QVERIFY(windows.Form2()->isVisible());
            QVERIFY(!QApplication::activeModalWidget());
        }
        QCOMPARE(windows.Form1()->configurationWindow(), static_cast<QWidget*>(windows.Form2()));
        QCOMPARE(QApplication::topLevelWidgets().count(windows.Form2()), qsizetype(1));
    }

    void logoOpensTheAboutPage() {
        ScriptedSeams seams;
        ProgramWindows windows(&seams);
        LogoView* logo = control<LogoView>(*windows.Form1(), "Image3");
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
        windows.Form1()->show();
        windows.Form2()->show();
        windows.Form4()->show();
        QTimer::singleShot(0, windows.Form1(), [&] { windows.Form1()->close(); });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        watchdog.start(10000);
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(TestProgramWindows)
#include "tst_programwindows.moc"
