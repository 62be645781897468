#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

namespace veltrano {

// Writes `bytes` into a file that is replaced only when every byte was written: after a
// failure an old file stays as it was. Returns the message for the user.
//
// Drawings are made in memory first: the painters' devices (PDF, SVG, image writers) take a
// short write on a full disk for a whole one, and would leave a cut-off file behind.
std::optional<QString> saveBytes(const QString& path, const QByteArray& bytes);

// "Kan bestand ... niet opslaan: <why>".
QString cannotSave(const QString& path, const QString& why);

} // namespace veltrano
