#pragma once

#include <QColor>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include "analysis/processing.h"
#include "app/Unit1.h"
#include "app/uiseams.h"
#include "imagebuilder.h"

namespace veltrano::testing {

// A main window with scripted dialogs whose updater is driven by hand.
struct WindowFixture {
    ScriptedSeams seams;
    TForm1 form{&seams};
    QTemporaryDir dir;

    WindowFixture() { form.stopUpdater(); }

    // Saves the image as a file and opens it through "Data openen".
    QString open(const ImageBuilder& image, const QString& name = QStringLiteral("beeld.img")) {
        const QString path = dir.filePath(name);
        if (auto error = image.save(path))
            qFatal("%s", qPrintable(*error));
        seams.openAnswers << path;
        QTest::mouseClick(form.dataopenen, Qt::LeftButton);
        return path;
    }
    void process() { QTest::mouseClick(form.buttonmemo, Qt::LeftButton); }
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

inline QList<ShownLine> shownLines(const QTextEdit* box) {
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
