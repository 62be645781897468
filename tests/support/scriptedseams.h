#pragma once

#include <QList>
#include <QPrinter>
#include <QStringList>
#include <QUrl>

#include "app/uiseams.h"

namespace veltrano {

// Scripted answers and a record of every message, for tests.
class ScriptedSeams final : public UiSeams {
public:
    QStringList messages;
    QStringList questions;
    QStringList openAnswers; // taken in order; empty entry = cancel
    QStringList saveAnswers;
    QList<SaveRequest> saveRequests; // every save dialog asked for, in order
    QList<QUrl> openedUrls;
    bool questionAnswer = true;
    // Print dialogs shown; with `printTo` set the user prints, to that PDF file.
    int printDialogs = 0;
    QString printTo;
    // Print previews shown, and what the last one would draw.
    int printPreviews = 0;
    PaintPages previewPages;

    void information(QWidget*, const QString& text) override { messages << text; }
    bool question(QWidget*, const QString& text) override {
        questions << text;
        return questionAnswer;
    }
    QString openFileName(QWidget*) override {
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    using UiSeams::saveFileName;
    QString saveFileName(QWidget*, const SaveRequest& request) override {
        saveRequests << request;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    void openUrl(const QUrl& url) override { openedUrls << url; }
    bool printDialog(QWidget*, QPrinter& printer) override {
        ++printDialogs;
        if (printTo.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printTo);
        return true;
    }
    void printPreview(QWidget*, QPrinter&, const PaintPages& paint) override {
        ++printPreviews;
        previewPages = paint;
    }
};

} // namespace veltrano
