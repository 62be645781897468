#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QIcon>
#include <QLineEdit>
#include <QTimer>

#include "analysis/qtdutch.h"
#include "chart/chartview.h"
#include "chart/navigation.h"
#include "commandline.h"
#include "mainwindow.h"
#include "processingrun.h"
#include "programwindows.h"
#include "uiseams.h"
#include "usersettings.h"

using namespace veltrano;

namespace {

void nameProgram() {
    QCoreApplication::setApplicationName(QStringLiteral("Veltrano"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELTRANO_VERSION));
}

// Without a display Qt ends the program with an abort and several lines about its platform
// plugins; the viewer says it in one line instead. What Qt says meanwhile is held back, and
// passed on once the window system is there.
struct HeldMessage {
    QtMsgType type;
    QString text;
};
std::vector<HeldMessage> heldMessages;

void holdWhileStarting(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg) {
        std::fputs("veltrano: kan het venster niet openen: er is geen beeldscherm (DISPLAY of "
                   "WAYLAND_DISPLAY is niet gezet of niet bereikbaar).\n",
                   stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    heldMessages.push_back({type, text});
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
    // --help, --version and a mistake on the command line need no display.
    CommandLine line;
    {
        QCoreApplication program(argc, argv);
        nameProgram();
        installQtDutch(program);
        if (!line.parse(QCoreApplication::arguments()))
            return line.exitCode();
    }

    const QtMessageHandler qtOwn = qInstallMessageHandler(holdWhileStarting);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtOwn);
    for (const HeldMessage& m : heldMessages)
        qt_message_output(m.type, QMessageLogContext(), m.text);
    nameProgram();
    // On Wayland the desktop matches the windows to their entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("nl.veltrano.Veltrano"));
    QApplication::setWindowIcon(applicationIcon());
    installQtDutch(app);
    const bool picture = !line.screenshot().isEmpty();

    UserSettings settings(UserSettings::userStore());
    DesktopSeams seams(&settings.folder());
    // A picture always shows the start values.
    ProgramWindows windows(&seams, picture ? nullptr : &settings);
    MainWindow* form = windows.mainWindow();
    windows.show();

    // The picture is taken once the run has ended and the update cycles have hidden the
    // finished bars; the chart gets a moment to draw what the navigation changed.
    const auto shoot = [&] {
        QTimer::singleShot(400, form, [&] {
            if (!line.event().isEmpty()) {
                form->navigation()->eventNumberEdit()->setText(line.event());
                form->navigation()->goToEvent();
            }
            if (line.markers())
                form->chart()->markersCheckBox()->click();
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
