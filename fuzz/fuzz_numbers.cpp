// Reading typed numbers (limits, filters, "Vanaf"/"Tot", event numbers) in both
// decimal-separator locales, and writing them back.
#include <cmath>

#include "analysis/numbers.h"

using namespace veltrano;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    static const QLocale locales[] = {QLocale(QLocale::Dutch, QLocale::Netherlands),
                                      QLocale(QLocale::English, QLocale::UnitedStates)};
    for (const QLocale& locale : locales) {
        if (const auto value = parseLocaleNumber(text, locale)) {
            const QString shown = formatMeasured(*value, locale);
            // What we write must read back.
            if (!parseLocaleNumber(shown, locale) && std::isfinite(double(*value)) &&
                fabsl(*value) < 1e15L)
                __builtin_trap();
            formatMoment(*value);
        }
    }
    parseWholeNumber(text);
    return 0;
}
