#pragma once

class QCoreApplication;

namespace veltrano::report {

// Qt's own messages (the command-line parser's errors and usage words) in Dutch: Qt's Dutch
// translation where the system has it, our texts for whatever it lacks.
void installDutchTexts(QCoreApplication& app);

} // namespace veltrano::report
