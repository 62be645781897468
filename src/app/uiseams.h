#pragma once

#include <functional>

#include <QString>
#include <QStringList>
#include <QUrl>

class QPrinter;
class QWidget;

namespace veltrano {

class DialogFolder;

// What a save dialog offers beyond the image files' plain one: a title, the file types (name
// filters such as "CSV-bestand (*.csv)"; the first is chosen, and its extension is added to
// a name typed without one) and a name to start with.
struct SaveRequest {
    QString title;
    QStringList filters;
    QString suggestedName;
};

// Every message box, file dialog and print dialog of the windows passes through here, so
// that tests can answer them without a human.
class UiSeams {
public:
    virtual ~UiSeams() = default;
    virtual void information(QWidget* parent, const QString& text) = 0;
    // Yes/Cancel question; true for Yes.
    virtual bool question(QWidget* parent, const QString& text) = 0;
    // Empty string when cancelled.
    virtual QString openFileName(QWidget* parent) = 0;
    virtual QString saveFileName(QWidget* parent, const SaveRequest& request) = 0;
    QString saveFileName(QWidget* parent) { return saveFileName(parent, SaveRequest{}); }
    // Opens a page in the default web browser.
    virtual void openUrl(const QUrl& url) = 0;
    // The print dialog for `printer`; true when the user chose to print.
    virtual bool printDialog(QWidget* parent, QPrinter& printer) = 0;
    // The print preview on `printer`; `paint` draws the pages on the printer it is given.
    using PaintPages = std::function<void(QPrinter*)>;
    virtual void printPreview(QWidget* parent, QPrinter& printer, const PaintPages& paint) = 0;
};

// The real dialogs. The file dialogs start in `folder` and move it to the folder of the file
// chosen; without one they start where the platform chooses.
class DesktopSeams final : public UiSeams {
public:
    explicit DesktopSeams(DialogFolder* folder = nullptr) : folder_(folder) {}
    void information(QWidget* parent, const QString& text) override;
    bool question(QWidget* parent, const QString& text) override;
    QString openFileName(QWidget* parent) override;
    using UiSeams::saveFileName;
    QString saveFileName(QWidget* parent, const SaveRequest& request) override;
    void openUrl(const QUrl& url) override;
    bool printDialog(QWidget* parent, QPrinter& printer) override;
    void printPreview(QWidget* parent, QPrinter& printer, const PaintPages& paint) override;

private:
    QString remember(const QString& path);

    DialogFolder* folder_;
};

} // namespace veltrano
