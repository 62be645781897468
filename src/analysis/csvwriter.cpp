#include "csvwriter.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include <algorithm>
#include <future>
#include <vector>

#include <QIODevice>
#include <QStringList>
#include <QThread>
#include <QThreadPool>

namespace veltrano {

namespace {
constexpr std::size_t kBufferBytes = 1 << 20;
constexpr std::int64_t kBlockRows = 1 << 15;

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

namespace {
char* putHundredths(char* out, std::int64_t k, char decimal) {
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
} // namespace

char* putTwoDecimals(char* out, long double value, char decimal) {
    if (!std::isfinite(value))
        return out;
    const long double hundredths = rintl(value * 100.0L);
    if (fabsl(hundredths) >= 1e18L) // far beyond any measured value
        return putShortest(out, double(value), decimal);
    return putHundredths(out, static_cast<std::int64_t>(hundredths), decimal);
}

char* putTwoDecimals(char* out, float value, char decimal) {
    const double x = double(value) * 100.0;
    if (!(std::fabs(x) < 0x1p52))
        return std::isfinite(x) ? putShortest(out, value, decimal) : out;
    // Adding and taking away 2^52 rounds to a whole number, halves to even.
    const double whole = x >= 0 ? (x + 0x1p52) - 0x1p52 : (x - 0x1p52) + 0x1p52;
    return putHundredths(out, static_cast<std::int64_t>(whole), decimal);
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

void writeRows(CsvWriter& writer, std::int64_t rows, std::size_t maxRowBytes,
               const RowFormat& format) {
    if (rows <= kBlockRows) {
        for (std::int64_t from = 0; from < rows; from += 1024) {
            const std::int64_t to = std::min(rows, from + 1024);
            writer.commit(format(writer.reserve(std::size_t(to - from) * maxRowBytes), from, to));
        }
        return;
    }
    struct Slot {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
        std::future<void> done;
    };
    const std::int64_t blocks = (rows + kBlockRows - 1) / kBlockRows;
    // Declared before the pool, so the pool's end waits for every block still being formatted
    // before their buffers go.
    std::vector<Slot> ring(std::size_t(2 * std::max(1, QThread::idealThreadCount()) + 1));
    QThreadPool pool;
    pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    const auto start = [&](std::int64_t block) {
        Slot& slot = ring[std::size_t(block) % ring.size()];
        if (!slot.bytes)
            slot.bytes.reset(new char[std::size_t(kBlockRows) * maxRowBytes]);
        auto ready = std::make_shared<std::promise<void>>();
        slot.done = ready->get_future();
        pool.start([&slot, &format, ready, block, rows] {
            const std::int64_t from = block * kBlockRows;
            const std::int64_t to = std::min(rows, from + kBlockRows);
            slot.size = std::size_t(format(slot.bytes.get(), from, to) - slot.bytes.get());
            ready->set_value();
        });
    };
    for (std::int64_t b = 0; b < std::min<std::int64_t>(blocks, std::int64_t(ring.size())); ++b)
        start(b);
    for (std::int64_t b = 0; b < blocks && !writer.failed(); ++b) {
        Slot& slot = ring[std::size_t(b) % ring.size()];
        slot.done.wait();
        writer.append(slot.bytes.get(), slot.size);
        if (b + std::int64_t(ring.size()) < blocks)
            start(b + std::int64_t(ring.size()));
    }
}

bool CsvWriter::finish() {
    flush();
    return !failed_;
}

} // namespace veltrano
