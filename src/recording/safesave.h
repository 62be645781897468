#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QString>

class QIODevice;

namespace veltrano {

// Writes a file through a temporary file beside it, which replaces the file only when every
// byte was written: after a failure an old file stays as it was and no partial file is left.
// `write` puts the content into the device it is given and returns why it could not.
// Returns the message for the user: "Kan bestand "<path>" niet opslaan: <why>".
using FileContent = std::function<std::optional<QString>(QIODevice& file)>;
std::optional<QString> saveFile(const QString& path, const FileContent& write);

// The same for content made in memory first. Drawings are: the painters' devices (PDF, SVG,
// image writers) take a short write on a full disk for a whole one, and would leave a
// cut-off file behind.
std::optional<QString> saveBytes(const QString& path, const QByteArray& bytes);

// Writes all n bytes; a short write is followed by another, which then says why it cannot go
// on. The device's error string tells why when it returns false.
bool writeAll(QIODevice& device, const char* data, qint64 n);

// "Kan bestand "<path>" niet opslaan: <why>".
QString cannotSave(const QString& path, const QString& why);

// What a long write asks of whoever started it: whether to stop (then it writes nothing more,
// and a file it wrote through saveFile stays as it was), and where to say how far it is (a
// share from 0 to 1). Either may be left empty.
struct WriteControl {
    std::function<bool()> cancelled;
    std::function<void(double share)> progressed;

    bool stopRequested() const { return cancelled && cancelled(); }
    void progress(double share) const {
        if (progressed)
            progressed(share);
    }
};
// The reason a stopped write gives.
QString writeCancelledText();

} // namespace veltrano
