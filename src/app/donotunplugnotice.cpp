#include "donotunplugnotice.h"

#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "chart/windowgrey.h"

namespace veltrano {

DoNotUnplugNotice::DoNotUnplugNotice(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Veltrano"));
    setAttribute(Qt::WA_QuitOnClose, false);
    useWindowGrey(*this);

    auto* message =
        new QLabel(QStringLiteral("Configureren gestart. Koppel de QLO niet los"), this);
    message->setObjectName(QStringLiteral("message"));
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    // Read with the window's title when it appears.
    setAccessibleDescription(message->text());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message, 0, Qt::AlignHCenter);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace veltrano
