#pragma once

#include <optional>

#include <QString>

namespace veltrano {

// All decimal digits of the text, in order; every other character dropped.
QString ExtractNumberInString(const QString& text);

// The port number of a display name: all its digits read as one decimal number, so
// 'USB Serial Device (COM11)' gives 11 and 'Port 2 (COM5)' gives 25. Empty when the
// digits do not form a number (none at all, or too many).
std::optional<int> portNumberFromDisplayName(const QString& displayName);

} // namespace veltrano
