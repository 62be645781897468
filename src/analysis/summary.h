#pragma once

#include <QByteArray>
#include <QString>

#include "analysis/processing.h"
#include "recording/memoryimage.h"

namespace veltrano {

// The buffers one image's processing needs, kept from image to image on one thread.
struct SummaryWorkspace {
    MemoryImage image;
    ProcessingResult result;
};

// One image's line of the summary over many images.
struct SummaryRow {
    QByteArray csv; // the line with its "\n"
    bool ok = false;
};

// The byte-order mark and the header line of the summary.
QByteArray summaryHeader(const QLocale& locale);

// Reads and processes one image from the program's start state (a fresh decoder state: no
// calibration or interval carries over from another image) and gives its line, with the
// figures of the last summary, the one the report shows. An image that cannot be read, holds
// no finished recording or no voltage up to its last summary gets its message as status and
// empty figures.
SummaryRow summarizeImage(const QString& path, const ProcessingSettings& settings,
                          SummaryWorkspace& workspace);

} // namespace veltrano
