#pragma once

#include <optional>

#include <QString>

namespace veltrano {

struct ProcessingResult;

// Writes the report's pages and then the chart of the whole recording into a PDF at `path`,
// as the window's "Rapport opslaan als PDF" does: the report in the report box's font and
// tab stops, the chart with the run's own limits. Needs a QApplication. Returns the message
// for the user.
std::optional<QString> writeRunReportPdf(const ProcessingResult& result, const QString& path);

} // namespace veltrano
