#pragma once

#include "imagebuilder.h"

namespace veltrano {

// About thirteen weeks of a 12 V battery sampled every second, temperature every 30 s, with a
// few events of every kind (charging above the over-voltage limit, deep discharges, hot
// afternoons, frost nights) and short excursions the time filters drop. Fills the logger's
// memory and ends with "DONE". Deterministic.
ImageBuilder demoRecording();

// A full memory with thousands of events, for measuring processing speed.
ImageBuilder eventRichRecording();

// The logger's memory size; a download with its end marker fits in the image.
inline constexpr std::size_t kLoggerMemoryBytes = 16'777'215;

} // namespace veltrano
