#pragma once

class QCoreApplication;

namespace veltrano {

// Qt's own texts (message box buttons, file dialogs, the command-line parser's messages) in
// Dutch, from Qt's translations where the system has them. False when it has none.
bool installQtDutch(QCoreApplication& app);

} // namespace veltrano
