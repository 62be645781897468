#include "aboutpage.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "datapaths.h"

namespace veltrano {

namespace {
const QString kAboutPageName = QStringLiteral("veltrano-about.html");
} // namespace

AboutPage::AboutPage() = default;
AboutPage::~AboutPage() = default;

QString AboutPage::installedPath() {
    return findDataFile(kAboutPageName);
}

QString AboutPage::path() {
    const QString installed = installedPath();
    if (!installed.isEmpty())
        return installed;
    if (!dir_)
        dir_ = std::make_unique<QTemporaryDir>();
    const QString copy = dir_->filePath(kAboutPageName);
    if (QFileInfo::exists(copy) ||
        QFile::copy(QStringLiteral(":/veltrano/") + kAboutPageName, copy))
        return copy;
    return QString();
}

} // namespace veltrano
