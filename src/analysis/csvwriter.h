#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include <QByteArray>
#include <QLocale>
#include <QString>

#include "recording/safesave.h"

class QIODevice;

namespace veltrano {

// Separators of the CSV files: where the locale writes decimals with a comma, fields are
// separated by ';' and decimals written with ','; otherwise ',' and '.'.
struct CsvStyle {
    char separator = ',';
    char decimal = '.';
    static CsvStyle of(const QLocale& locale);
};

// Number forms of the CSV files; each writes at most kMaxNumberChars and returns the end.
inline constexpr std::size_t kMaxNumberChars = 48;
// The shortest text that reads back to the same number.
char* putShortest(char* out, float value, char decimal);
char* putShortest(char* out, double value, char decimal);
// Rounded to hundredths (halves to even), exactly two decimals, never "-0.00"; nothing for a
// value that is not finite, the shortest text beyond 10^16, which no measurement reaches.
char* putTwoDecimals(char* out, long double value, char decimal);
// The same for a sample value, without extended precision: a float times 100 is exact in a
// double.
char* putTwoDecimals(char* out, float value, char decimal);
inline char* putTwoDecimals(char* out, double value, char decimal) {
    return putTwoDecimals(out, static_cast<long double>(value), decimal);
}
char* putInteger(char* out, std::int64_t value);

// A field as RFC 4180 wants it: quoted when it holds the separator, a double quote or a line
// break, with its double quotes doubled.
QByteArray csvField(const QString& text, char separator);

// Collects rows in a large buffer and hands them to the device in big writes. After the
// first failed write nothing more is written and finish() reports it.
class CsvWriter {
public:
    CsvWriter(QIODevice& device, CsvStyle style);
    ~CsvWriter();
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    const CsvStyle& style() const { return style_; }

    void byteOrderMark();
    // A row of text fields (header lines, file names, messages).
    void textRow(const QStringList& fields);
    void text(const QString& field);

    // Room for `bytes` more characters; rows of numbers are written straight into it.
    char* reserve(std::size_t bytes) {
        if (capacity_ - used_ < bytes)
            flush();
        return buffer_.get() + used_;
    }
    void commit(char* end) { used_ = std::size_t(end - buffer_.get()); }

    // Bytes written as they are, after what is buffered.
    void append(const char* data, std::size_t size);

    // Nothing more is written; finish() reports why.
    void fail(const QString& why);

    // Writes what is buffered; false once any write failed.
    bool finish();
    bool failed() const { return failed_; }
    QString errorString() const { return error_; }

private:
    void flush();

    QIODevice& device_;
    CsvStyle style_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
    bool failed_ = false;
    QString error_;
};

// Writes `rows` rows formatted by `format(out, from, to)`, which puts rows [from, to) at out,
// at most maxRowBytes each, and returns the end. Blocks of rows are formatted on a few threads
// while the calling thread writes the finished blocks in order, so that formatting keeps pace
// with the device; format must be safe to call on several threads at once. Between blocks it
// tells `control` how far it is and stops when asked, the writer failing with the reason.
using RowFormat = std::function<char*(char* out, std::int64_t from, std::int64_t to)>;
void writeRows(CsvWriter& writer, std::int64_t rows, std::size_t maxRowBytes,
               const RowFormat& format, const WriteControl& control = {});

} // namespace veltrano
