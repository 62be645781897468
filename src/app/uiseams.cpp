#include "uiseams.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>

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

namespace {
// "png" of "PNG-afbeelding (*.png)".
QString filterSuffix(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}
} // namespace

QString DesktopSeams::saveFileName(QWidget* parent, const SaveRequest& request) {
    const QString folder = folder_ ? folder_->start() : QString();
    if (request.filters.isEmpty() && request.suggestedName.isEmpty())
        return remember(QFileDialog::getSaveFileName(parent, request.title, folder));
    QFileDialog dialog(parent, request.title, folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(request.filters);
    // The dialog adds the extension before it asks whether to replace a file.
    dialog.setDefaultSuffix(filterSuffix(request.filters.value(0)));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(filterSuffix(filter)); });
    if (!request.suggestedName.isEmpty())
        dialog.selectFile(folder.isEmpty() ? request.suggestedName
                                           : QDir(folder).filePath(request.suggestedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return remember(dialog.selectedFiles().constFirst());
}

QString DesktopSeams::remember(const QString& path) {
    if (folder_)
        folder_->chosen(path);
    return path;
}

void DesktopSeams::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

bool DesktopSeams::printDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void DesktopSeams::printPreview(QWidget* parent, QPrinter& printer, const PaintPages& paint) {
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, paint);
    preview.exec();
}

} // namespace veltrano
