#include "chart/numberformat.h"

#include <cfenv>
#include <cmath>

namespace veltrano {

QString formatMeasured(double value, const QLocale& locale) {
    // nearbyint follows the current rounding mode, which is to-nearest-even by default.
    double rounded = std::nearbyint(value * 100.0) / 100.0;
    if (rounded == 0.0) {
        rounded = 0.0; // no "-0"
    }
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return plain.toString(rounded, 'f', QLocale::FloatingPointShortest);
}

} // namespace veltrano
