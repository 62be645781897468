#pragma once

#include <memory>

#include <QButtonGroup>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include "analysis/processing.h"
#include "app/exportactions.h"
#include "app/linkadapter.h"
#include "app/mainwindow.h"
#include "app/processingrun.h"
#include "heldwork.h"
#include "imagebuilder.h"
#include "link/linkcontroller.h"
#include "scriptedseams.h"

namespace veltrano::testing {

// A control of a window by its object name; a missing one ends the test program.
template <class T = QWidget> T* control(const QObject& window, const char* name) {
    T* w = window.findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control named %s", name);
    return w;
}

inline QPushButton* button(const QObject& window, const char* name) {
    return control<QPushButton>(window, name);
}

// A main window with scripted dialogs whose updater is driven by hand.
struct WindowFixture {
    ScriptedSeams seams;
    MainWindow form{&seams};
    QTemporaryDir dir;

    WindowFixture() { form.holdBars(); }

    QPushButton* button(const char* name) const { return testing::button(form, name); }
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(form, name); }
    QLabel* status() const { return control<QLabel>(form, "statusLabel"); }
    QPlainTextEdit* reportBox() const { return control<QPlainTextEdit>(form, "reportBox"); }
    QProgressBar* bar(const char* name) const { return control<QProgressBar>(form, name); }
    QButtonGroup* timeUnits() const { return control<QButtonGroup>(form, "timeUnitButtons"); }
    LinkAdapter& adapter() const {
        auto* a = form.findChild<LinkAdapter*>();
        if (!a)
            qFatal("no link adapter");
        return *a;
    }
    const ProcessingResult& result() const {
        if (!form.result())
            qFatal("no finished run");
        return *form.result();
    }

    // Saves the image as a file and opens it through "Data openen".
    QString open(const ImageBuilder& image, const QString& name = QStringLiteral("beeld.img")) {
        const QString path = dir.filePath(name);
        if (auto error = image.save(path))
            qFatal("%s", qPrintable(*error));
        seams.openAnswers << path;
        QTest::mouseClick(button("openImageButton"), Qt::LeftButton);
        return path;
    }
    // "Data verwerken", and the run's end.
    void process() {
        QTest::mouseClick(button("processButton"), Qt::LeftButton);
        waitForRun();
    }
    void waitForRun() { QTRY_VERIFY_WITH_TIMEOUT(!form.isProcessing(), 60000); }
    // An export runs on a worker; its end and its message come from the event loop.
    void waitForExport() { QTRY_VERIFY_WITH_TIMEOUT(!form.isExporting(), 60000); }

    // Runs started from now on wait at their start until release() or the next hold().
    void hold() { held.hold(); }
    void release() { held.release(); }
    HeldRuns held{form.processingRun()};
    HeldExports heldExports{form.exports().run()};
};

// What the core alone makes of an image with the window's settings.
inline ProcessingResult coreResult(const ImageBuilder& image, const ProcessingSettings& settings) {
    MemoryImage buffer;
    image.writeTo(buffer);
    DecoderState state;
    ProcessingResult result;
    if (processImage(buffer.data(), settings, state, result))
        qFatal("settings refused");
    return result;
}

struct ShownLine {
    QString text;
    QColor colour;
};

inline QList<ShownLine> shownLines(const QPlainTextEdit* box) {
    QList<ShownLine> lines;
    for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next()) {
        // An empty block carries its colour in the block's char format.
        const QTextCharFormat format =
            b.begin().atEnd() ? b.charFormat() : b.begin().fragment().charFormat();
        lines.append({b.text(), format.foreground().color()});
    }
    return lines;
}

} // namespace veltrano::testing
