#include "report.h"

namespace veltrano {

QString Report::plainText() const {
    QString out;
    for (const auto& line : lines_) {
        out += line.text;
        out += QLatin1Char('\n');
    }
    return out;
}

} // namespace veltrano
