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

    QTextDocument* doc = box->document();
    doc->clear();
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    bool first = true;
    for (const ReportLine& line : report.lines()) {
        const QTextCharFormat& format = line.red ? red : normal;
        if (first) {
            cursor.setBlockCharFormat(format);
            cursor.setCharFormat(format);
            first = false;
        } else {
            cursor.insertBlock(QTextBlockFormat(), format);
        }
        cursor.insertText(line.text, format);
    }
    cursor.endEditBlock();
}

} // namespace veltrano
