#include "programwindows.h"

#include <QCoreApplication>
#include <QTimer>

#include "configurationwindow.h"
#include "donotunplugnotice.h"
#include "mainwindow.h"
#include "uiseams.h"
#include "usersettings.h"

namespace veltrano {

ProgramWindows::ProgramWindows(UiSeams* seams, UserSettings* settings)
    : seams_(seams), settings_(settings), main_(std::make_unique<MainWindow>(seams)),
      configuration_(std::make_unique<ConfigurationWindow>()),
      notice_(std::make_unique<DoNotUnplugNotice>()) {
    main_->setConfigurationWindow(configuration_.get());
    main_->setNotice(notice_.get());
    QObject::connect(configuration_.get(), &ConfigurationWindow::intervalSettingRequested,
                     main_.get(), &MainWindow::sendIntervals);
    // exit() rather than quit(): a window that refuses to close must not keep the program
    // alive once the main window is gone.
    QObject::connect(
        main_.get(), &MainWindow::closed, QCoreApplication::instance(),
        [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    if (settings_)
        settings_->attach(*main_, *configuration_);
}

void ProgramWindows::show() {
    showMainWindow(*main_, settings_ ? settings_->stored().choices : RememberedChoices());
    if (settings_ && settings_->stored().nothingUsable)
        QTimer::singleShot(0, main_.get(), [this] {
            seams_->information(main_.get(), settings_->unusableMessage());
        });
}

ProgramWindows::~ProgramWindows() = default;

} // namespace veltrano
