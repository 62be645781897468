#include "uiseams.h"

#include <QFileDialog>
#include <QMessageBox>

namespace veltrano {

void DesktopSeams::information(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QStringLiteral("Veltrano"), text);
}

bool DesktopSeams::question(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, QStringLiteral("Veltrano"), text,
                                 QMessageBox::Yes | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Yes;
}

// No name filter and no default extension: image files have no fixed name.
QString DesktopSeams::openFileName(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent);
}

QString DesktopSeams::saveFileName(QWidget* parent) {
    return QFileDialog::getSaveFileName(parent);
}

} // namespace veltrano
