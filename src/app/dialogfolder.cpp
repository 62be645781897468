#include "dialogfolder.h"

#include <QFileInfo>

namespace veltrano {

QString DialogFolder::start() const {
    return !path_.isEmpty() && QFileInfo(path_).isDir() ? path_ : QString();
}

void DialogFolder::chosen(const QString& filePath) {
    if (!filePath.isEmpty())
        path_ = QFileInfo(filePath).absolutePath();
}

} // namespace veltrano
