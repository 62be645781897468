#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "analysis/processing.h"

class QIODevice;

namespace veltrano::report {

struct SummaryOutcome {
    int failedImages = 0;
    std::optional<QString> writeError; // the output refused a write
};

// Writes the summary: the header, then one line per image in the given order, `jobs` images
// processed at a time, each line written as soon as the lines before it are.
SummaryOutcome runSummary(const QStringList& images, const ProcessingSettings& settings, int jobs,
                          QIODevice& out);

} // namespace veltrano::report
