#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QLocale>
#include <QString>

namespace veltrano {

// Bytes the logger can fill before a recording stops.
inline constexpr std::int64_t kLoggerCapacityBytes = 16'777'215;

// Body of the recording-duration table: a row per voltage list entry (incl. "16/sec"),
// a column per temperature list entry. The grid adds a header row and column.
inline constexpr int kDurationRows = 8;
inline constexpr int kDurationColumns = 6;
inline constexpr int kDurationGridRows = kDurationRows + 1;
inline constexpr int kDurationGridColumns = kDurationColumns + 1;

using DurationCellTexts = std::array<std::array<QString, kDurationColumns>, kDurationRows>;

// How long the logger records, in seconds, with the voltage list entry `voltageIndex`
// (0..7) and the temperature list entry `temperatureIndex` (0..5). Exact.
double recordingSeconds(int voltageIndex, int temperatureIndex);

// The whole number a cell shows for `seconds` in a unit of `unitSeconds`: first rounded to
// one decimal (ties to even), then to a whole number (half away from zero).
std::int64_t durationCellValue(double seconds, double unitSeconds);

// Cell text with the locale's thousands separator, which is always written.
QString durationCellText(double seconds, double unitSeconds, const QLocale& locale);

// Header texts of the grid: row 0 / column 0 is the empty corner.
QString durationRowHeader(int gridRow);
QString durationColumnHeader(int gridColumn);

// All body cells for the unit `unitIndex` of kTableTimeUnits; empty texts for a unit out of
// range.
DurationCellTexts durationCellTexts(int unitIndex, const QLocale& locale);

// The grid as text: one line per grid row ending in '\n', cells separated by tabs, header row
// and column included. Empty for a unit out of range.
QString durationTableText(int unitIndex, const QLocale& locale);

// Index in kTableTimeUnits of a unit's word ("seconden" ... "jaren").
std::optional<int> tableTimeUnitIndex(const QString& word);

} // namespace veltrano
