#include "chart/savedbytes.h"

#include <QSaveFile>

namespace veltrano {

QString cannotSave(const QString& path, const QString& why) {
    return QStringLiteral("Kan bestand \"%1\" niet opslaan: %2").arg(path, why);
}

std::optional<QString> saveBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return cannotSave(path, file.errorString());
    // A short write is followed by another, which then says why it cannot go on.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const QString why = file.errorString();
            file.cancelWriting();
            return cannotSave(path, why);
        }
        written += n;
    }
    if (!file.commit())
        return cannotSave(path, file.errorString());
    return std::nullopt;
}

} // namespace veltrano
