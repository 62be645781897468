#include "aboutpage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace veltrano {

namespace {
const QString kAboutPageName = QStringLiteral("veltrano-about.html");
} // namespace

AboutPage::AboutPage() = default;
AboutPage::~AboutPage() = default;

QString AboutPage::installedPath() {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + kAboutPageName;
}

QString AboutPage::path() {
    const QString installed = installedPath();
    if (QFileInfo::exists(installed))
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
