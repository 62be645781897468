#include "reportview.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "analysis/report.h"

namespace veltrano {

void setUpReportBox(QTextEdit* box) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    box->setFont(font);
    box->document()->setDefaultFont(font);
    box->setReadOnly(true);
    box->setAcceptRichText(true);
    box->setLineWrapMode(QTextEdit::WidgetWidth);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->document()->setUndoRedoEnabled(false);
    box->setTabStopDistance(reportTabStop(box));
}

qreal reportTabStop(const QTextEdit* box) {
    return 170.0 * QFontMetricsF(box->font()).averageCharWidth() / 4.0;
}

void showReport(QTextEdit* box, const Report& report) {
    QTextCharFormat normal;
    normal.setForeground(box->palette().color(QPalette::WindowText));
    QTextCharFormat red;
    red.setForeground(kReportRed);

    // Built apart from the box and handed over whole, so the box lays it out once.
    QTextDocument* old = box->document();
    auto* doc = new QTextDocument(box);
    doc->setUndoRedoEnabled(false);
    doc->setDefaultFont(old->defaultFont());
    doc->setDefaultTextOption(old->defaultTextOption());
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    // Lines of one colour go in with one insertion: the document turns each newline into a
    // block with that colour, and looks the format up once per run instead of per line.
    const auto& lines = report.lines();
    QString run;
    for (std::size_t i = 0; i < lines.size();) {
        const bool isRed = lines[i].red;
        run.clear();
        if (i == 0)
            cursor.setBlockCharFormat(isRed ? red : normal);
        else
            run += QLatin1Char('\n');
        run += lines[i].text;
        for (++i; i < lines.size() && lines[i].red == isRed; ++i) {
            run += QLatin1Char('\n');
            run += lines[i].text;
        }
        cursor.insertText(run, isRed ? red : normal);
    }
    cursor.endEditBlock();
    // The box deletes its own first document; the ones made here are deleted here.
    const bool ours = old->parent() == box;
    box->setDocument(doc);
    if (ours)
        delete old;
}

} // namespace veltrano
