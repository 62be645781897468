#include "programwindows.h"

#include <QCoreApplication>
#include <QTimer>

#include "Unit1.h"
#include "Unit2.h"
#include "Unit4.h"
#include "uiseams.h"
#include "usersettings.h"

namespace veltrano {

ProgramWindows::ProgramWindows(UiSeams* seams, UserSettings* settings)
    : seams_(seams), settings_(settings), form1_(std::make_unique<TForm1>(seams)),
      form2_(std::make_unique<TForm2>()), form4_(std::make_unique<TForm4>()) {
    form1_->setConfigurationWindow(form2_.get());
    form1_->setNoticeWindow(form4_.get());
    QObject::connect(form2_.get(), &TForm2::intervalSettingRequested, form1_.get(),
                     &TForm1::MeetintervallenInstellen);
    // exit() rather than quit(): a window that refuses to close must not keep the program
    // alive once the main window is gone.
    QObject::connect(
        form1_.get(), &TForm1::closed, QCoreApplication::instance(),
        [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    if (settings_)
        settings_->attach(*form1_, *form2_);
}

void ProgramWindows::show() {
    showMainWindow(*form1_, settings_ ? settings_->stored().choices : RememberedChoices());
    if (settings_ && settings_->stored().nothingUsable)
        QTimer::singleShot(0, form1_.get(), [this] {
            seams_->information(form1_.get(), settings_->unusableMessage());
        });
}

ProgramWindows::~ProgramWindows() = default;

} // namespace veltrano
