#include "datapaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace veltrano {

QString findDataFile(const QString& name, const QString& programDir) {
    const QDir dir(programDir);
    for (const QString& candidate :
         {dir.filePath(QStringLiteral(VELTRANO_DATADIR_FROM_BINDIR "/") + name),
          dir.filePath(name)}) {
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}

QString findDataFile(const QString& name) {
    // Linux gives the real path of the executable, so a symlink to it elsewhere still finds
    // the data of the prefix it is installed in.
    return findDataFile(name, QCoreApplication::applicationDirPath());
}

} // namespace veltrano
