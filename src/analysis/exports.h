#pragma once

#include <optional>

#include <QString>

#include "analysis/processing.h"
#include "recording/safesave.h"

class QIODevice;

namespace veltrano {

// The CSV exports of a finished run.
enum class CsvExport { Voltage, Temperature, Events, Days, Bands };

// "spanning", "temperatuur", "calamiteiten", "dagen", "verdeling": the command line's words
// for them.
QString csvExportWord(CsvExport kind);
std::optional<CsvExport> csvExportFromWord(const QString& word);

// Writes an export in UTF-8 with a byte-order mark, separators after the settings' locale.
// The result gives the samples, the events and the unit of their times; the settings give the
// locale and "Datum aansluiting" (periodStart), the moment the sample times count from.
// Returns why the device refused, in Dutch, when a write failed.
std::optional<QString> writeCsv(CsvExport kind, const ProcessingResult& result,
                                const ProcessingSettings& settings, QIODevice& device);

// The same into a file, which is replaced only when everything was written: after a failure
// or when `control` stops it, an old file stays as it was. Returns the message for the user,
// with the disk's own words for a failed write.
std::optional<QString> saveCsv(CsvExport kind, const ProcessingResult& result,
                               const ProcessingSettings& settings, const QString& path,
                               const WriteControl& control = {});

// The spanning or temperatuur export of the rows whose stored time (in the run's unit, the
// first column) lies between `from` and `to`, either order, both ends included; in every other
// way as saveCsv. The other exports have no time of their own per row and are written whole.
std::optional<QString> saveCsvRange(CsvExport kind, const ProcessingResult& result,
                                    const ProcessingSettings& settings, double from, double to,
                                    const QString& path, const WriteControl& control = {});
// The same rows into a device; returns why it stopped: the device's error text, or the
// reason of a stop that `control` asked for.
std::optional<QString> writeCsvRange(CsvExport kind, const ProcessingResult& result,
                                     const ProcessingSettings& settings, double from, double to,
                                     QIODevice& device, const WriteControl& control = {});

} // namespace veltrano
