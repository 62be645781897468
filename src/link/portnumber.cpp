#include "portnumber.h"

namespace veltrano {

QString ExtractNumberInString(const QString& text) {
    QString digits;
    for (const QChar c : text)
        if (c >= u'0' && c <= u'9')
            digits += c;
    return digits;
}

std::optional<int> portNumberFromDisplayName(const QString& displayName) {
    bool ok = false;
    const int n = ExtractNumberInString(displayName).toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return n;
}

} // namespace veltrano
