#include "recording/safesave.h"

#include <QSaveFile>

namespace veltrano {

QString cannotSave(const QString& path, const QString& why) {
    return QStringLiteral("Kan bestand \"%1\" niet opslaan: %2").arg(path, why);
}

QString writeCancelledText() {
    return QStringLiteral("afgebroken");
}

bool writeAll(QIODevice& device, const char* data, qint64 n) {
    qint64 written = 0;
    while (written < n) {
        const qint64 step = device.write(data + written, n - written);
        if (step <= 0)
            return false;
        written += step;
    }
    return true;
}

std::optional<QString> saveFile(const QString& path, const FileContent& write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return cannotSave(path, file.errorString());
    if (const std::optional<QString> why = write(file)) {
        file.cancelWriting();
        return cannotSave(path, *why);
    }
    if (!file.commit())
        return cannotSave(path, file.errorString());
    return std::nullopt;
}

std::optional<QString> saveBytes(const QString& path, const QByteArray& bytes) {
    return saveFile(path, [&bytes](QIODevice& file) -> std::optional<QString> {
        if (!writeAll(file, bytes.constData(), bytes.size()))
            return file.errorString();
        return std::nullopt;
    });
}

} // namespace veltrano
