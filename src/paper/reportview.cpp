#include "paper/reportview.h"

#include <QFontMetricsF>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "analysis/report.h"

namespace veltrano {

void setUpReportBox(QPlainTextEdit* box) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    box->setFont(font);
    box->document()->setDefaultFont(font);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->document()->setUndoRedoEnabled(false);
    box->setTabStopDistance(reportTabStop(box));
}

qreal reportTabStop(const QPlainTextEdit* box) {
    return 170.0 * QFontMetricsF(box->font()).averageCharWidth() / 4.0;
}

ReportStyle reportStyle(const QPlainTextEdit* box) {
    return {box->document()->defaultFont(), box->document()->defaultTextOption(),
            box->palette().color(QPalette::WindowText)};
}

std::unique_ptr<QTextDocument> reportDocument(const Report& report, const ReportStyle& style,
                                              const std::function<bool()>& cancelled) {
    QTextCharFormat normal;
    normal.setForeground(style.normal);
    QTextCharFormat red;
    red.setForeground(kReportRed);

    auto doc = std::make_unique<QTextDocument>();
    doc->setDocumentLayout(new QPlainTextDocumentLayout(doc.get()));
    doc->setUndoRedoEnabled(false);
    doc->setDefaultFont(style.font);
    doc->setDefaultTextOption(style.textOption);
    QTextCursor cursor(doc.get());
    cursor.beginEditBlock();
    // Lines of one colour go in with one insertion: the document turns each newline into a
    // block with that colour, and looks the format up once per run instead of per line.
    const auto& lines = report.lines();
    QString run;
    for (std::size_t i = 0, asked = 0; i < lines.size();) {
        if (cancelled && i - asked >= 4096) {
            if (cancelled())
                return nullptr;
            asked = i;
        }
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
    // The box gives every block a layout when it takes the document; made here, on the worker,
    // that halves the time the window is held up by it.
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        block.layout();
    return doc;
}

void showReportDocument(QPlainTextEdit* box, std::unique_ptr<QTextDocument> document) {
    // The box deletes its own first document; the ones given here are deleted here.
    QTextDocument* old = box->document();
    const bool ours = old->parent() == box;
    document->setParent(box);
    box->setDocument(document.release());
    // Tens of thousands of blocks take a while to free: not in the same turn as the hand-over.
    if (ours)
        old->deleteLater();
}

void showReport(QPlainTextEdit* box, const Report& report) {
    showReportDocument(box, reportDocument(report, reportStyle(box)));
}

} // namespace veltrano
