#include <QApplication>
#include <QCheckBox>
#include <QIcon>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include "Unit1.h"
#include "chart/chartview.h"
#include "chart/navigation.h"
#include "commandline.h"
#include "processingrun.h"
#include "programwindows.h"
#include "uiseams.h"
#include "usersettings.h"

using namespace veltrano;

namespace {

// Qt's own texts (message box buttons, file dialogs) in Dutch, where the system has them.
void installQtDutch(QApplication& app) {
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::Dutch, QLocale::Netherlands), QStringLiteral("qtbase"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qt);
    else
        delete qt;
}

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(
            QStringLiteral(":/veltrano/icons/%1x%1/apps/nl.veltrano.Veltrano.png").arg(size),
            QSize(size, size));
    return icon;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrano"));
    QApplication::setApplicationVersion(QStringLiteral(VELTRANO_VERSION));
    // On Wayland the desktop matches the windows to their entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("nl.veltrano.Veltrano"));
    QApplication::setWindowIcon(applicationIcon());
    installQtDutch(app);

    CommandLine line;
    if (!line.parse(QCoreApplication::arguments()))
        return line.exitCode();
    const bool picture = !line.screenshot().isEmpty();

    UserSettings settings(UserSettings::userStore());
    DesktopSeams seams(&settings.folder());
    // A picture always shows the start values.
    ProgramWindows windows(&seams, picture ? nullptr : &settings);
    TForm1* form = windows.Form1();
    windows.show();

    // The picture is taken once the run has ended and the update cycles have hidden the
    // finished bars; the chart gets a moment to draw what the navigation changed.
    const auto shoot = [&] {
        QTimer::singleShot(400, form, [&] {
            if (!line.event().isEmpty()) {
                form->navigation()->calamiteitedit->setText(line.event());
                form->navigation()->ganaarcalamiteitbuttonClick();
            }
            if (line.markers())
                form->chart()->MarkerCheckBox->click();
            QTimer::singleShot(100, form, [&] {
                if (!form->grab().save(line.screenshot()))
                    qWarning("cannot write %s", qPrintable(line.screenshot()));
                QCoreApplication::exit(0);
            });
        });
    };
    QTimer::singleShot(0, form, [&] {
        openFromCommandLine(*form, line);
        if (!picture)
            return;
        if (form->isProcessing())
            QObject::connect(&form->processingRun(), &ProcessingRun::finished, form, shoot,
                             Qt::SingleShotConnection);
        else
            shoot();
    });
    return app.exec();
}
