#include "numbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

#include "recording/decoder.h"

namespace veltrano {

namespace {
locale_t cLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return loc;
}
bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
} // namespace

std::optional<long double> parseLocaleNumber(const QString& text, const QLocale& locale) {
    const QString s = text.trimmed();
    const QString decimal = locale.decimalPoint();
    const QString minus = locale.negativeSign();
    QByteArray plain;
    plain.reserve(s.size() + 1);
    qsizetype i = 0;
    if (s.startsWith(QLatin1Char('-')) || (!minus.isEmpty() && s.startsWith(minus))) {
        plain += '-';
        i = s.startsWith(QLatin1Char('-')) ? 1 : minus.size();
    } else if (s.startsWith(QLatin1Char('+'))) {
        i = 1;
    }
    int digits = 0;
    bool seenDecimal = false;
    for (; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (isAsciiDigit(c)) {
            plain += char(c.unicode());
            ++digits;
        } else if (!seenDecimal && !decimal.isEmpty() &&
                   QStringView(s).mid(i).startsWith(decimal)) {
            plain += '.';
            seenDecimal = true;
            i += decimal.size() - 1;
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < s.size() && (s.at(i) == QLatin1Char('e') || s.at(i) == QLatin1Char('E'))) {
        plain += 'e';
        ++i;
        if (i < s.size() && (s.at(i) == QLatin1Char('-') || s.at(i) == QLatin1Char('+')))
            plain += char(s.at(i++).unicode());
        int expDigits = 0;
        for (; i < s.size() && isAsciiDigit(s.at(i)); ++i, ++expDigits)
            plain += char(s.at(i).unicode());
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    const long double value = strtold_l(plain.constData(), nullptr, cLocale());
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> parseWholeNumber(const QString& text) {
    const QString s = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (s.startsWith(QLatin1Char('-')) || s.startsWith(QLatin1Char('+'))) {
        negative = s.at(0) == QLatin1Char('-');
        i = 1;
    }
    if (i == s.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < s.size(); ++i) {
        if (!isAsciiDigit(s.at(i)))
            return std::nullopt;
        const int d = s.at(i).unicode() - '0';
        if (value > (INT64_MAX - d) / 10)
            return std::nullopt;
        value = value * 10 + d;
    }
    return negative ? -value : value;
}

QString formatMeasured(long double value, const QLocale& locale) {
    if (!std::isfinite(value))
        return QStringLiteral("-");
    const long double hundredths = rintl(value * 100.0L);
    // Below 1e13 the 15 significant digits hold every hundredth, so whole-number
    // arithmetic gives the same text as the general format, much faster.
    if (fabsl(hundredths) < 1e15L) {
        const auto k = static_cast<std::int64_t>(hundredths);
        const std::int64_t a = k < 0 ? -k : k;
        QString out;
        if (k < 0)
            out += locale.negativeSign();
        out += QString::number(a / 100);
        const int frac = int(a % 100);
        if (frac != 0) {
            out += locale.decimalPoint();
            out += QLatin1Char(char('0' + frac / 10));
            if (frac % 10 != 0)
                out += QLatin1Char(char('0' + frac % 10));
        }
        return out;
    }
    long double r = roundHundredths(value);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15Lg", r);
    QString out = QString::fromLatin1(buf);
    out.replace(QLatin1Char('.'), locale.decimalPoint());
    if (out.startsWith(QLatin1Char('-')))
        out.replace(0, 1, locale.negativeSign());
    return out;
}

QString formatMoment(long double value) {
    if (!std::isfinite(value))
        return QStringLiteral("-");
    const long double r = rintl(value);
    if (fabsl(r) < 9e18L)
        return QString::number(static_cast<std::int64_t>(r));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0Lf", r);
    return QString::fromLatin1(buf);
}

} // namespace veltrano
