#include "csvwriter.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include <QIODevice>
#include <QStringList>

namespace veltrano {

namespace {
constexpr std::size_t kBufferBytes = 1 << 20;

char* useDecimal(char* begin, char* end, char decimal) {
    if (decimal != '.')
        for (char* p = begin; p != end; ++p)
            if (*p == '.') {
                *p = decimal;
                break;
            }
    return end;
}
} // namespace

CsvStyle CsvStyle::of(const QLocale& locale) {
    if (locale.decimalPoint() == QStringLiteral(","))
        return {';', ','};
    return {',', '.'};
}

char* putShortest(char* out, float value, char decimal) {
    const auto r = std::to_chars(out, out + kMaxNumberChars, value);
    return useDecimal(out, r.ptr, decimal);
}

char* putShortest(char* out, double value, char decimal) {
    const auto r = std::to_chars(out, out + kMaxNumberChars, value);
    return useDecimal(out, r.ptr, decimal);
}

char* putTwoDecimals(char* out, long double value, char decimal) {
    if (!std::isfinite(value))
        return out;
    const long double hundredths = rintl(value * 100.0L);
    if (fabsl(hundredths) >= 1e18L) { // far beyond any measured value; plain form of the double
        const auto r = std::to_chars(out, out + kMaxNumberChars, double(hundredths / 100.0L),
                                     std::chars_format::fixed, 2);
        return useDecimal(out, r.ptr, decimal);
    }
    std::int64_t k = static_cast<std::int64_t>(hundredths);
    if (k < 0) {
        *out++ = '-';
        k = -k;
    }
    out = std::to_chars(out, out + 24, k / 100).ptr;
    const int frac = int(k % 100);
    *out++ = decimal;
    *out++ = char('0' + frac / 10);
    *out++ = char('0' + frac % 10);
    return out;
}

char* putInteger(char* out, std::int64_t value) {
    return std::to_chars(out, out + 24, value).ptr;
}

QByteArray csvField(const QString& text, char separator) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(separator) && !bytes.contains('"') && !bytes.contains('\n') &&
        !bytes.contains('\r'))
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

CsvWriter::CsvWriter(QIODevice& device, CsvStyle style)
    : device_(device), style_(style), buffer_(new char[kBufferBytes]), capacity_(kBufferBytes) {}

CsvWriter::~CsvWriter() = default;

void CsvWriter::byteOrderMark() {
    append("\xEF\xBB\xBF", 3);
}

void CsvWriter::text(const QString& field) {
    const QByteArray bytes = csvField(field, style_.separator);
    append(bytes.constData(), std::size_t(bytes.size()));
}

void CsvWriter::textRow(const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            append(&style_.separator, 1);
        text(fields[i]);
    }
    append("\n", 1);
}

void CsvWriter::append(const char* data, std::size_t size) {
    if (capacity_ - used_ < size)
        flush();
    if (size > capacity_) { // only a field larger than the whole buffer
        if (!failed_ && device_.write(data, qint64(size)) != qint64(size)) {
            failed_ = true;
            error_ = device_.errorString();
        }
        return;
    }
    std::memcpy(buffer_.get() + used_, data, size);
    used_ += size;
}

void CsvWriter::flush() {
    if (used_ > 0 && !failed_ && device_.write(buffer_.get(), qint64(used_)) != qint64(used_)) {
        failed_ = true;
        error_ = device_.errorString();
    }
    used_ = 0;
}

bool CsvWriter::finish() {
    flush();
    return !failed_;
}

} // namespace veltrano
