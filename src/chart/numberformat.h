#pragma once

#include <QLocale>
#include <QString>

namespace veltrano {

// A measured value as the window shows it: rounded to 2 decimals (ties to even), in the
// shortest plain form, with the locale's decimal separator and no digit grouping.
QString formatMeasured(double value, const QLocale& locale = QLocale());

} // namespace veltrano
