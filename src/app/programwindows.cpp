#include "programwindows.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "Unit1.h"

namespace veltrano {

ProgramWindows::ProgramWindows(UiSeams* seams)
    : form1_(std::make_unique<TForm1>(seams)), form2_(makeConfigurationWindow()),
      form4_(makeNoticeWindow()) {
    form1_->setConfigurationWindow(form2_.get());
    form1_->setNoticeWindow(form4_.get());
    // exit() rather than quit(): a window that refuses to close must not keep the program
    // alive once the main window is gone.
    QObject::connect(
        form1_.get(), &TForm1::closed, QCoreApplication::instance(),
        [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

ProgramWindows::~ProgramWindows() = default;

std::unique_ptr<QWidget> makeConfigurationWindow() {
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(QStringLiteral("Configureren"));
    return window;
}

std::unique_ptr<QWidget> makeNoticeWindow() {
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(QStringLiteral("Veltrano"));
    auto* layout = new QGridLayout(window.get());
    layout->addWidget(
        new QLabel(QStringLiteral("Configureren gestart. Koppel de QLO niet los"), window.get()), 0,
        0, 1, 3);
    auto* ok = new QPushButton(QStringLiteral("Ok"), window.get());
    layout->addWidget(ok, 1, 1);
    QObject::connect(ok, &QPushButton::clicked, window.get(), &QWidget::close);
    return window;
}

} // namespace veltrano
