#include "uiseams.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "dialogfolder.h"

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
    return remember(
        QFileDialog::getOpenFileName(parent, QString(), folder_ ? folder_->start() : QString()));
}

QString DesktopSeams::saveFileName(QWidget* parent) {
    return remember(
        QFileDialog::getSaveFileName(parent, QString(), folder_ ? folder_->start() : QString()));
}

QString DesktopSeams::remember(const QString& path) {
    if (folder_)
        folder_->chosen(path);
    return path;
}

void DesktopSeams::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

} // namespace veltrano

namespace veltrano {

bool DesktopSeams::printDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void DesktopSeams::printPreview(QWidget* parent, QPrinter& printer, const PaintPages& paint) {
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, paint);
    preview.exec();
}

bool ScriptedSeams::printDialog(QWidget*, QPrinter& printer) {
    ++printDialogs;
    if (printTo.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printTo);
    return true;
}

} // namespace veltrano
