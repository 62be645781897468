#pragma once

#include <QString>

namespace veltrano {

// The read-only data file `name` (e.g. "veltrano-about.html") of the program in `programDir`:
// <prefix>/share/veltrano/name when the program is installed in <prefix>/bin, else name
// beside the program, where the build tree keeps it. Empty when neither exists.
QString findDataFile(const QString& name, const QString& programDir);
// The same for the running program.
QString findDataFile(const QString& name);

} // namespace veltrano
