#pragma once

#include <memory>
#include <optional>

#include <QString>

class QCoreApplication;

namespace veltrano {
struct ProcessingResult;
}

namespace veltrano::report {

// The program object for --pdf: one with widgets, on the offscreen platform unless
// QT_QPA_PLATFORM names another, so that no display is needed.
std::unique_ptr<QCoreApplication> makePdfApplication(int& argc, char** argv);

// Writes the report's pages and then the chart of the whole recording into a PDF at `path`,
// as the window's "Rapport opslaan als PDF" does. Needs the program object above. Returns
// the message for the user.
std::optional<QString> writeReportPdf(const ProcessingResult& result, const QString& path);

} // namespace veltrano::report
