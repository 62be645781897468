#pragma once

#include <optional>

#include <QLocale>
#include <QString>
#include <QStringList>

#include "analysis/exports.h"
#include "analysis/processing.h"

namespace veltrano::report {

enum class Mode {
    Report,        // the report as text or JSON
    Export,        // one CSV export
    Summary,       // one CSV line per image
    DurationTable, // how long the logger records
    Pdf,           // the report's pages and the chart in a PDF file
    Help,
};

struct Options {
    Mode mode = Mode::Report;
    ProcessingSettings settings;
    QString format = QStringLiteral("text");
    CsvExport exportKind = CsvExport::Voltage;
    int jobs = 1;
    int tableUnit = 0; // index into kTableTimeUnits
    QString pdfPath;
    QStringList images;
    QString helpText;
};

// Reads the command line (arguments without the program name) with the processing options'
// numbers in `locale`. Returns the options, or the message for the user.
struct ParsedOptions {
    std::optional<Options> options;
    QString error;
};
ParsedOptions parseOptions(const QStringList& arguments, const QLocale& locale);

// Whether the command line (without the program name) asks for --pdf, known before anything
// is parsed: only that mode needs a program object with widgets.
bool asksForPdf(const QStringList& arguments);

} // namespace veltrano::report
