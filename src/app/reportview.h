#pragma once

#include <QColor>

class QTextEdit;

namespace veltrano {

class Report;

inline const QColor kReportRed(255, 0, 0);

// The report box's font (Arial 8 pt) and its tab stops of 170 dialog units, a dialog unit
// being a quarter of the font's average character width.
void setUpReportBox(QTextEdit* box);
qreal reportTabStop(const QTextEdit* box);

// Replaces the box's contents with the report, one block per line, red lines pure red and
// the others in the palette's window-text colour. Built in one edit block without undo.
void showReport(QTextEdit* box, const Report& report);

} // namespace veltrano
