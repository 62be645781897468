#pragma once

#include <cstdint>
#include <optional>

#include <QLocale>
#include <QString>

namespace veltrano {

// Reads a number typed by the user: optional sign, digits with at most one of the locale's
// decimal separator, optional exponent; no group separators. Parsed in extended precision.
std::optional<long double> parseLocaleNumber(const QString& text, const QLocale& locale);

// Reads a whole number (event numbers): optional sign and ASCII digits only.
std::optional<std::int64_t> parseWholeNumber(const QString& text);

// Measured values: rounded to two decimals (halves to even), shortest general form with at
// most 15 significant digits, the locale's decimal separator; never "-0".
QString formatMeasured(long double value, const QLocale& locale);

// Moments: rounded to a whole number, halves to even.
QString formatMoment(long double value);

// a / b rounded down, for days and bands below zero too.
inline std::int64_t floorDivide(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace veltrano
