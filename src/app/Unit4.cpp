#include "Unit4.h"

#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrano {

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Veltrano"));
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(160, 160, 164));
    setPalette(grey);
    setAutoFillBackground(true);

    Label1 = new QLabel(QStringLiteral("Configureren gestart. Koppel de QLO niet los"), this);
    Button1 = new QPushButton(QStringLiteral("Ok"), this);
    // Read with the window's title when it appears.
    setAccessibleDescription(Label1->text());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1, 0, Qt::AlignHCenter);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace veltrano
