#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>

#include "Unit1.h"
#include "programwindows.h"
#include "uiseams.h"

using namespace veltrano;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrano"));

    // Developer options, not shown anywhere: open an image file and process it at start,
    // and write a picture of the main window.
    QCommandLineParser parser;
    QCommandLineOption open(QStringLiteral("open"), QString(), QStringLiteral("file"));
    QCommandLineOption process(QStringLiteral("process"));
    QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("png"));
    QCommandLineOption event(QStringLiteral("event"), QString(), QStringLiteral("number"));
    QCommandLineOption markers(QStringLiteral("markers"));
    for (QCommandLineOption* o : {&open, &process, &screenshot, &event, &markers}) {
        o->setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(*o);
    }
    parser.process(app);

    DesktopSeams seams;
    ProgramWindows windows(&seams);
    TForm1* form = windows.Form1();
    // Sized to the screen, also where no window manager maximises it.
    form->setGeometry(form->screen()->availableGeometry());
    form->showMaximized();

    QTimer::singleShot(0, form, [&] {
        if (parser.isSet(open) && form->openImage(parser.value(open)) && parser.isSet(process))
            form->buttonmemoClick();
        if (parser.isSet(screenshot)) {
            // Let the update cycles hide the finished bars first.
            QTimer::singleShot(400, form, [&] {
                if (parser.isSet(event)) {
                    form->navigation->calamiteitedit->setText(parser.value(event));
                    form->navigation->ganaarcalamiteitbuttonClick();
                }
                if (parser.isSet(markers))
                    form->Chart1->MarkerCheckBox->click();
                QCoreApplication::processEvents();
                if (!form->grab().save(parser.value(screenshot)))
                    qWarning("cannot write %s", qPrintable(parser.value(screenshot)));
                QCoreApplication::exit(0);
            });
        }
    });
    return app.exec();
}
