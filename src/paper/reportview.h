#pragma once

#include <functional>
#include <memory>

#include <QColor>
#include <QFont>
#include <QTextOption>

class QPlainTextEdit;
class QTextDocument;

namespace veltrano {

class Report;

inline const QColor kReportRed(255, 0, 0);

// The report box's font (Arial 8 pt) and its tab stops of 170 dialog units, a dialog unit
// being a quarter of the font's average character width. A plain-text box: it lays out only
// the lines it shows, so a report of ten thousand events costs the window nothing while it
// scrolls or waits.
void setUpReportBox(QPlainTextEdit* box);
qreal reportTabStop(const QPlainTextEdit* box);

// What a report document takes from its box; read on the UI thread, used on any.
struct ReportStyle {
    QFont font;
    QTextOption textOption;
    QColor normal;
};
ReportStyle reportStyle(const QPlainTextEdit* box);

// The report as a document, one block per line, red lines pure red and the others in the
// style's normal colour, built in one edit block without undo, with the layout a plain-text
// box takes. Reentrant: a worker thread may build it and hand it over. nullptr when
// `cancelled` says so on the way.
std::unique_ptr<QTextDocument> reportDocument(const Report& report, const ReportStyle& style,
                                              const std::function<bool()>& cancelled = {});

// Puts a document into the box, which takes it over; the box lays it out once.
void showReportDocument(QPlainTextEdit* box, std::unique_ptr<QTextDocument> document);

// Replaces the box's contents with the report.
void showReport(QPlainTextEdit* box, const Report& report);

} // namespace veltrano
