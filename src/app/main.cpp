#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QLineEdit>
#include <QTimer>

#include "Unit1.h"
#include "chart/chartview.h"
#include "chart/navigation.h"
#include "processingrun.h"
#include "programwindows.h"
#include "uiseams.h"
#include "usersettings.h"

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

    UserSettings settings(UserSettings::userStore());
    DesktopSeams seams(&settings.folder());
    // A picture always shows the start values.
    ProgramWindows windows(&seams, parser.isSet(screenshot) ? nullptr : &settings);
    TForm1* form = windows.Form1();
    windows.show();

    // The picture is taken once the run has ended and the update cycles have hidden the
    // finished bars; the chart gets a moment to draw what the navigation changed.
    const auto shoot = [&] {
        QTimer::singleShot(400, form, [&] {
            if (parser.isSet(event)) {
                form->navigation()->calamiteitedit->setText(parser.value(event));
                form->navigation()->ganaarcalamiteitbuttonClick();
            }
            if (parser.isSet(markers))
                form->chart()->MarkerCheckBox->click();
            QTimer::singleShot(100, form, [&] {
                if (!form->grab().save(parser.value(screenshot)))
                    qWarning("cannot write %s", qPrintable(parser.value(screenshot)));
                QCoreApplication::exit(0);
            });
        });
    };
    QTimer::singleShot(0, form, [&] {
        if (parser.isSet(open) && form->openImage(parser.value(open)) && parser.isSet(process))
            form->buttonmemoClick();
        if (!parser.isSet(screenshot))
            return;
        if (form->isProcessing())
            QObject::connect(&form->processingRun(), &ProcessingRun::finished, form, shoot,
                             Qt::SingleShotConnection);
        else
            shoot();
    });
    return app.exec();
}
