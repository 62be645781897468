#include "analysis/qtdutch.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace veltrano {

bool installQtDutch(QCoreApplication& app) {
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::Dutch, QLocale::Netherlands), QStringLiteral("qtbase"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return app.installTranslator(qt);
    delete qt;
    return false;
}

} // namespace veltrano
