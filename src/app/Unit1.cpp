#include "Unit1.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "uiseams.h"

namespace veltrano {

TForm1::TForm1(UiSeams* seams, QWidget* parent) : QMainWindow(parent), seams_(seams) {
    setWindowTitle(QStringLiteral("Veltrano"));
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);

    MenuGroupBox = new QGroupBox(QStringLiteral("Menu"), central);
    auto* grid = new QGridLayout(MenuGroupBox);
    auto button = [this](const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), MenuGroupBox);
        return b;
    };
    Connect = button("Verbinden");
    disconnect = button("Verbreken");
    disconnect->hide();
    Buttonreceivedata = button("Data ophalen");
    Buttonreceivedata->setEnabled(false);
    buttonmemo = button("Data verwerken");
    buttonmemo->setEnabled(false);
    dataopenen = button("Data openen");
    Buttonerase = button("Geheugen wissen");
    Buttontext = button("Data opslaan");
    Meetintervaltabelbutton = button("Configuratiescherm");
    grid->addWidget(Connect, 0, 0);
    grid->addWidget(disconnect, 0, 0);
    grid->addWidget(Buttonreceivedata, 0, 1);
    grid->addWidget(buttonmemo, 1, 0);
    grid->addWidget(dataopenen, 1, 1);
    grid->addWidget(Buttonerase, 2, 0);
    grid->addWidget(Buttontext, 2, 1);
    grid->addWidget(Meetintervaltabelbutton, 3, 0, 1, 2);

    StatusLabel = new QLabel(central);
    outer->addWidget(MenuGroupBox, 0, Qt::AlignLeft);
    outer->addWidget(StatusLabel);
    outer->addStretch(1);
    setCentralWidget(central);

    connect(dataopenen, &QPushButton::clicked, this, &TForm1::dataopenenClick);
    connect(Buttontext, &QPushButton::clicked, this, &TForm1::ButtontextClick);
}

TForm1::~TForm1() = default;

void TForm1::dataopenenClick() {
    const QString path = seams_->openFileName(this);
    if (path.isEmpty())
        return;
    if (auto error = spanningArray.load(path)) {
        seams_->information(this, *error);
        return;
    }
    StatusLabel->setText(QStringLiteral("Data klaar voor verwerken"));
    buttonmemo->setEnabled(true);
}

void TForm1::ButtontextClick() {
    const QString path = seams_->saveFileName(this);
    if (path.isEmpty())
        return;
    if (auto error = spanningArray.save(path))
        seams_->information(this, *error);
}

} // namespace veltrano
